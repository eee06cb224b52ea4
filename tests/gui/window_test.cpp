// The window's controls as the user meets them: names, captions, states,
// layout, the editor's font and the caret line display.
#include <QtTest>

#include <QCheckBox>
#include <QFontDatabase>
#include <QGroupBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBlock>

#include "app/gui/editor_font.h"
#include "app/gui/main_window.h"
#include "tests/gui/gui_support.h"
#include "tests/support/run_folder.h"

namespace ct::testing {

class WindowTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { ForgetSettings(); }

  void captions_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("caption");
    QTest::newRow("lbl1") << "lbl1" << "当前行号";
    QTest::newRow("lbl2") << "lbl2" << "0";
    QTest::newRow("grp1") << "grp1" << "生成ClassType脚本";
    QTest::newRow("chk1") << "chk1" << "自动执行";
    QTest::newRow("btn1") << "btn1" << "开始";
    QTest::newRow("grp2") << "grp2" << "转换Keyword关键字";
    QTest::newRow("rb1") << "rb1" << "从当前内容转换";
    QTest::newRow("rb2") << "rb2" << "从文本文件转换";
    QTest::newRow("btn2") << "btn2" << "转换";
    QTest::newRow("btn3") << "btn3" << "存盘";
  }

  void captions() {
    QFETCH(QString, name);
    QFETCH(QString, caption);
    TempFolder folder;
    FakeDialogs dialogs;
    gui::TForm1 window(folder.path(), dialogs);
    QObject* control = window.findChild<QObject*>(name);
    QVERIFY2(control, qPrintable(name));
    QString text;
    if (auto* label = qobject_cast<QLabel*>(control)) text = label->text();
    if (auto* button = qobject_cast<QAbstractButton*>(control)) text = button->text();
    if (auto* group = qobject_cast<QGroupBox*>(control)) text = group->title();
    QCOMPARE(text, caption);
  }

  void initialStates() {
    TempFolder folder;
    FakeDialogs dialogs;
    gui::TForm1 window(folder.path(), dialogs);
    QCOMPARE(EditorText(window, "Memo1"), QStringLiteral("Memo1"));
    QCOMPARE(EditorText(window, "Memo2"), QString());
    QVERIFY(Control<QCheckBox>(window, "chk1")->isChecked());
    QVERIFY(Control<QRadioButton>(window, "rb1")->isChecked());
    QVERIFY(!Control<QRadioButton>(window, "rb2")->isChecked());
    QCOMPARE(Control<QProgressBar>(window, "pb1")->value(), 0);
    QVERIFY(!window.RunActive());
    QFont start = Control<QPushButton>(window, "btn1")->font();
    QVERIFY(start.bold());
    QCOMPARE(start.pixelSize(), 16);
  }

  void layout() {
    TempFolder folder;
    FakeDialogs dialogs;
    gui::TForm1 window(folder.path(), dialogs);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(window.size(), QSize(1217, 807));

    // Top to bottom: the menus, the editor (a tab beside the structure
    // view), the log (a tab beside the problems) with the panel at its
    // right, 181 pixels high, and the status bar.
    QWidget* panel = Control<QWidget>(window, "pnlRight");
    auto* memo1 = Control<QPlainTextEdit>(window, "Memo1");
    auto* lower = Control<QWidget>(window, "tabLower")->parentWidget();
    auto* upper = Control<QWidget>(window, "tabUpper");
    auto* menus = Control<QWidget>(window, "menuBar");
    auto* status = Control<QWidget>(window, "statusBar");
    QCOMPARE(panel->width(), 345);
    QCOMPARE(lower->height(), 181);
    QVERIFY(memo1->height() >= 300);
    QCOMPARE(upper->width(), window.width());
    QCOMPARE(menus->height() + upper->height() + lower->height() + status->height(), window.height());
    QCOMPARE(Control<QWidget>(window, "tabLower")->width() + panel->width(), window.width());
    QVERIFY(Control<QWidget>(window, "tabLower")->isAncestorOf(Control<QWidget>(window, "Memo2")));
    for (const char* name : {"lbl1", "lbl2", "pb1", "grp1", "grp2"})
      QVERIFY2(panel->isAncestorOf(Control<QWidget>(window, name)), name);
    for (const char* name : {"chk1", "btn1"}) QVERIFY2(Control<QWidget>(window, "grp1")->isAncestorOf(Control<QWidget>(window, name)), name);
    for (const char* name : {"rb1", "rb2", "btn2", "btn3"})
      QVERIFY2(Control<QWidget>(window, "grp2")->isAncestorOf(Control<QWidget>(window, name)), name);
    for (const char* name : {"chk1", "btn1", "rb1", "rb2", "btn2", "btn3", "lbl1", "lbl2", "pb1"}) {
      QWidget* control = Control<QWidget>(window, name);
      QRect inside(control->mapTo(&window, QPoint(0, 0)), control->size());
      QVERIFY2(window.rect().contains(inside), name);
    }
  }

  void editorShowsChineseInAFixedLayout() {
    TempFolder folder;
    FakeDialogs dialogs;
    gui::TForm1 window(folder.path(), dialogs);
    auto* memo1 = Control<QPlainTextEdit>(window, "Memo1");
    QCOMPARE(memo1->font().pixelSize(), 15);
    if (!QFontDatabase::families(QFontDatabase::SimplifiedChinese).isEmpty())
      QVERIFY(QFontDatabase::writingSystems(memo1->font().family()).contains(QFontDatabase::SimplifiedChinese));
    QCOMPARE(memo1->lineWrapMode(), QPlainTextEdit::NoWrap);
    QCOMPARE(memo1->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    QCOMPARE(memo1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    // A selection stays as visible when the editor loses focus.
    QPalette palette = memo1->palette();
    QCOMPARE(palette.color(QPalette::Inactive, QPalette::Highlight), palette.color(QPalette::Active, QPalette::Highlight));
    QCOMPARE(palette.color(QPalette::Inactive, QPalette::HighlightedText),
             palette.color(QPalette::Active, QPalette::HighlightedText));
  }

  void clickShowsTheZeroBasedLine_data() {
    QTest::addColumn<int>("line");
    QTest::newRow("first line") << 0;
    QTest::newRow("third line") << 2;
    QTest::newRow("last line") << 4;
  }

  void clickShowsTheZeroBasedLine() {
    QFETCH(int, line);
    TempFolder folder;
    FakeDialogs dialogs;
    gui::TForm1 window(folder.path(), dialogs);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* memo1 = Control<QPlainTextEdit>(window, "Memo1");
    memo1->setPlainText(QStringLiteral("zero\none\ntwo 二\nthree\nfour"));
    QTextCursor cursor(memo1->document()->findBlockByNumber(line));
    QPoint inside = memo1->cursorRect(cursor).center() + QPoint(4, 0);
    QTest::mouseClick(memo1->viewport(), Qt::LeftButton, Qt::NoModifier, inside);
    QCOMPARE(Control<QLabel>(window, "lbl2")->text(), QStringLiteral("第 %1 行").arg(line));
  }

  void theKeyboardDoesNotMoveTheLineDisplay() {
    TempFolder folder;
    FakeDialogs dialogs;
    gui::TForm1 window(folder.path(), dialogs);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* memo1 = Control<QPlainTextEdit>(window, "Memo1");
    memo1->setPlainText(QStringLiteral("zero\none\ntwo"));
    memo1->setFocus();
    QTest::keyClick(memo1, Qt::Key_Down);
    QTest::keyClick(memo1, Qt::Key_Down);
    QCOMPARE(memo1->textCursor().blockNumber(), 2);
    QCOMPARE(Control<QLabel>(window, "lbl2")->text(), QStringLiteral("0"));
  }

  void editorFamilyChoice_data() {
    QTest::addColumn<QStringList>("families");
    QTest::addColumn<QStringList>("fixed");
    QTest::addColumn<QString>("chosen");
    QTest::newRow("the Windows face wins over list order")
        << QStringList{"WenQuanYi Zen Hei Mono", "新宋体"} << QStringList{} << "新宋体";
    QTest::newRow("preferred names ignore case") << QStringList{"Foo", "wenquanyi zen hei mono"} << QStringList{"Foo"}
                                                 << "wenquanyi zen hei mono";
    QTest::newRow("else the first fixed-pitch face") << QStringList{"Sans", "Mono A", "Mono B"}
                                                     << QStringList{"Mono A", "Mono B"} << "Mono A";
    QTest::newRow("else any Chinese face") << QStringList{"Sans", "Serif"} << QStringList{} << "Sans";
    QTest::newRow("none at all") << QStringList{} << QStringList{} << QString();
  }

  void editorFamilyChoice() {
    QFETCH(QStringList, families);
    QFETCH(QStringList, fixed);
    QFETCH(QString, chosen);
    QCOMPARE(gui::PickEditorFamily(families, [&](const QString& f) { return fixed.contains(f); }), chosen);
  }
};

}  // namespace ct::testing

QTEST_MAIN(ct::testing::WindowTest)
#include "window_test.moc"
