// Working on the input where it is converted, and the small things a user
// meets at once: ClassTable.txt opened, edited and saved in the editor (a
// UTF-8 file named and read as such), Pascal files appended by menu and by
// dropping them, other folders opened, the system's viewer asked, search
// and go-to-line, the gutter, a read-only log, keys, labels that stay apart,
// large lists that leave the interface free, Qt's dialogs in Chinese, and
// --help and --version without a display.
#include <QtTest>

#include <QAction>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QDropEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QTextBlock>

#include "app/gui/code_editor.h"
#include "app/gui/main_window.h"
#include "app/gui/qt_text.h"
#include "app/gui/qt_translation.h"
#include "pipeline/texts.h"
#include "tests/gui/gui_support.h"
#include "tests/support/run_folder.h"
#include "text/gbk.h"

namespace ct::testing {

namespace {

constexpr int kTimeout = 30000;

struct Session {
  Session() : window(folder.path(), dialogs) {}
  void Trigger(const char* action) { Control<QAction>(window, action)->trigger(); }
  QPlainTextEdit* memo1() { return Control<QPlainTextEdit>(window, "Memo1"); }

  TempFolder folder;
  FakeDialogs dialogs;
  gui::TForm1 window;
};

std::vector<std::string> Lines(std::initializer_list<const char*> lines) { return {lines.begin(), lines.end()}; }

}  // namespace

class EditingTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { ForgetSettings(); }

  void theInputIsOpenedEditedAndSavedAsTheRunReadsIt() {
    Session session;
    session.folder.Write("ClassTable.txt", Gbk("const\r\n  名字 = 1;\r\n"));
    session.Trigger("actOpenInput");
    QCOMPARE(session.memo1()->toPlainText(), QStringLiteral("const\n  名字 = 1;"));
    QVERIFY(session.window.windowTitle().endsWith(QStringLiteral("ClassTable.txt")));
    QTextCursor cursor(session.memo1()->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(QStringLiteral("\n  值 = 2;"));
    QVERIFY(session.window.windowTitle().endsWith(QStringLiteral("*")));
    session.Trigger("actSaveInput");
    QCOMPARE(session.folder.Read("ClassTable.txt"), Gbk("const\r\n  名字 = 1;\r\n  值 = 2;\r\n"));
    QVERIFY(!session.window.windowTitle().endsWith(QStringLiteral("*")));

    // A character GBK lacks is named, and the file stays as it was.
    cursor.insertText(QStringLiteral(" \U0001F600"));
    session.Trigger("actSaveInput");
    QCOMPARE(session.dialogs.messages.size(), size_t{1});
    QVERIFY(session.dialogs.messages[0].text.contains(QStringLiteral("第 3 行")));
    QCOMPARE(session.folder.Read("ClassTable.txt"), Gbk("const\r\n  名字 = 1;\r\n  值 = 2;\r\n"));
  }

  void unsavedEditsAreOfferedBeforeARun() {
    Session session;
    session.folder.Write("ClassTable.txt", WithPrelude(""));
    session.Trigger("actOpenInput");
    QTextCursor cursor(session.memo1()->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(QStringLiteral("\ntype TNew = record a: Byte; end;"));
    session.dialogs.ask_answer = gui::Answer::kYes;
    Control<QPushButton>(session.window, "btn1")->click();
    QCOMPARE(session.dialogs.questions.size(), 1);
    QTRY_VERIFY_WITH_TIMEOUT(session.window.Idle(), kTimeout);
    QVERIFY(session.folder.Read("ClassType.lua").find(" TNew = {") != std::string::npos);
  }

  void aUtf8InputIsNamedInsteadOfRunAndReadAsUtf8() {
    Session session;
    // The whole file as an editor saves it in UTF-8, without a mark.
    session.folder.Write("ClassTable.txt", GbkToUtf8(WithPrelude("")) + "const 名字 = 1;\r\n");
    Control<QPushButton>(session.window, "btn1")->click();
    QVERIFY(!session.window.RunActive());
    QCOMPARE(session.dialogs.messages.size(), size_t{1});
    QVERIFY(session.dialogs.messages[0].text.contains(QStringLiteral("UTF-8")));
    session.Trigger("actOpenInput");
    QVERIFY(session.memo1()->toPlainText().endsWith(QStringLiteral("const 名字 = 1;")));
    session.memo1()->document()->setModified(true);
    session.Trigger("actSaveInput");
    QCOMPARE(session.folder.Read("ClassTable.txt"), WithPrelude("") + Gbk("const 名字 = 1;\r\n"));
    Control<QPushButton>(session.window, "btn1")->click();
    QVERIFY(session.window.RunActive());
    QTRY_VERIFY_WITH_TIMEOUT(session.window.Idle(), kTimeout);
  }

  void pascalFilesAreAppendedByMenuAndByDropping() {
    Session session;
    session.folder.Write("ClassTable.txt", Gbk("const A = 1;"));  // no line break at its end
    session.folder.Write("unit1.pas", "type\n  TOne = record b: Byte; end; // 第一\n");  // UTF-8
    session.folder.Write("unit2.pas", Gbk("const B = 2; { 第二 }\r\n"));             // GBK
    session.dialogs.open_answer = gui::QStringFromPath(session.folder.path() / "unit1.pas");
    session.Trigger("actAppendPascal");
    QCOMPARE(session.folder.Read("ClassTable.txt"),
             Gbk("const A = 1;\r\ntype\r\n  TOne = record b: Byte; end; // 第一\r\n"));

    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(gui::QStringFromPath(session.folder.path() / "unit2.pas"))});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&session.window, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&session.window, &drop);
    QVERIFY(session.folder.Read("ClassTable.txt").ends_with(Gbk("第一\r\nconst B = 2; { 第二 }\r\n")));
  }

  void anotherFolderOpensWithoutARestart() {
    Session session;
    TempFolder other;
    session.dialogs.folder_answer = gui::QStringFromPath(other.path());
    session.Trigger("actOpenFolder");
    QCOMPARE(session.window.Folder(), other.path().lexically_normal());
    QVERIFY(session.window.windowTitle().contains(gui::QStringFromPath(other.path().filename())));
    QVERIFY(other.Has("ClassTable.txt"));  // a first start there
    QCOMPARE(session.dialogs.messages.size(), size_t{1});
    auto* recent = Control<QMenu>(session.window, "menuRecent");
    QCOMPARE(recent->actions().size(), 2);
    QVERIFY(recent->actions()[0]->text().endsWith(gui::QStringFromPath(other.path().filename())));
    recent->actions()[1]->trigger();
    QCOMPARE(session.window.Folder(), session.folder.path().lexically_normal());
  }

  void theSystemShowsTheScriptAndTheFolder() {
    Session session;
    session.Trigger("actShowScript");
    session.Trigger("actShowFolder");
    QCOMPARE(session.dialogs.shown_in_system,
             (QStringList{gui::QStringFromPath(session.folder.path() / "ClassType.lua"),
                          gui::QStringFromPath(session.folder.path())}));
  }

  void searchGoToLineAndTheGutter() {
    Session session;
    session.window.show();
    QVERIFY(QTest::qWaitForWindowActive(&session.window));
    session.memo1()->setPlainText(QStringLiteral("zero\none TX\ntwo\nthree TX\nfour"));
    QTest::keyClick(&session.window, Qt::Key_F, Qt::ControlModifier);
    auto* text = Control<QLineEdit>(session.window, "findText");
    QVERIFY(text->isVisible());
    QTest::keyClicks(text, QStringLiteral("TX"));
    QTest::keyClick(text, Qt::Key_Return);
    QCOMPARE(session.memo1()->textCursor().blockNumber(), 1);
    QTest::keyClick(text, Qt::Key_Return);
    QCOMPARE(session.memo1()->textCursor().blockNumber(), 3);
    QTest::keyClick(text, Qt::Key_Return);  // around the end
    QCOMPARE(session.memo1()->textCursor().blockNumber(), 1);

    QTest::keyClick(text, Qt::Key_F3);
    QCOMPARE(session.memo1()->textCursor().blockNumber(), 3);
    QTest::keyClick(text, Qt::Key_Escape);  // closes the search, stops nothing
    QVERIFY(!text->isVisible());

    session.dialogs.line_answer = 5;
    QTest::keyClick(&session.window, Qt::Key_G, Qt::ControlModifier);
    QCOMPARE(session.memo1()->textCursor().blockNumber(), 4);

    auto* gutter = Control<QWidget>(session.window, "gutter");
    QVERIFY(gutter->isVisible());
    QCOMPARE(gutter->width(), static_cast<gui::CodeEditor*>(session.memo1())->GutterWidth());
    QVERIFY(session.memo1()->viewport()->x() >= gutter->width());
  }

  void theLogIsReadOnlyAndTabLeavesTheEditors() {
    Session session;
    QVERIFY(Control<QPlainTextEdit>(session.window, "Memo2")->isReadOnly());
    QVERIFY(session.memo1()->tabChangesFocus());
    QVERIFY(Control<QPlainTextEdit>(session.window, "Memo2")->tabChangesFocus());
  }

  void theResultAndTheLineNumberStayApart() {
    Session session;
    session.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&session.window));
    auto* lbl1 = Control<QLabel>(session.window, "lbl1");
    auto* lbl2 = Control<QLabel>(session.window, "lbl2");
    lbl1->setText(Utf8(texts::kSucceededLabel));
    lbl2->setText(QStringLiteral("第 12 行"));
    QTest::qWait(20);
    QVERIFY(lbl1->geometry().right() + 8 < lbl2->geometry().left() + lbl2->contentsMargins().left());
    QVERIFY(lbl1->width() >= lbl1->sizeHint().width());
  }

  void theLineNumberFollowsTheListShown() {
    TempFolder folder;
    FakeDialogs dialogs;
    gui::TForm1 window(folder.path(), dialogs, [](FrontEnd& ui, const std::filesystem::path&, const RunOptions&) {
      ui.StageReport(LineList(Lines({"0", "1", "2", "3", "4"})), "first");
      ui.StageReport(LineList(Lines({"only", "two"})), "second");
      ui.RunEnded();
      return RunOutcome::kSucceeded;
    });
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* memo1 = Control<QPlainTextEdit>(window, "Memo1");
    Control<QCheckBox>(window, "chk1")->setChecked(false);
    Control<QPushButton>(window, "btn1")->click();
    QTRY_VERIFY_WITH_TIMEOUT(window.PausedForContinue(), kTimeout);
    QTextCursor cursor(memo1->document()->findBlockByNumber(3));
    QTest::mouseClick(memo1->viewport(), Qt::LeftButton, Qt::NoModifier, memo1->cursorRect(cursor).center());
    QCOMPARE(Control<QLabel>(window, "lbl2")->text(), QStringLiteral("第 3 行"));
    Control<QPushButton>(window, "btn1")->click();
    QTRY_COMPARE_WITH_TIMEOUT(memo1->toPlainText(), QStringLiteral("only\ntwo"), kTimeout);
    QCOMPARE(Control<QLabel>(window, "lbl2")->text(), QStringLiteral("第 1 行"));
    Control<QPushButton>(window, "btn1")->click();
    QTRY_VERIFY_WITH_TIMEOUT(!window.RunActive(), kTimeout);
  }

  // A list of some 5 MB is made into a document off the interface thread:
  // the interface keeps answering while a paused run shows it.
  void aLargeListLeavesTheInterfaceFree() {
    std::vector<std::string> large;
    for (int i = 0; i < 200000; ++i) large.push_back(" TStdItem" + std::to_string(i) + " = { Name : 1_31 ; } ; ");
    TempFolder folder;
    FakeDialogs dialogs;
    gui::TForm1 window(folder.path(), dialogs, [&](FrontEnd& ui, const std::filesystem::path&, const RunOptions&) {
      LineList list(large);
      for (int k = 0; k < 3; ++k)
        if (!ui.StageReport(list, "large")) return RunOutcome::kAbandoned;
      ui.RunEnded();
      return RunOutcome::kSucceeded;
    });
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    Control<QCheckBox>(window, "chk1")->setChecked(false);
    QElapsedTimer clock;
    qint64 last = 0, longest = 0;
    QTimer tick;
    QObject::connect(&tick, &QTimer::timeout, [&] {
      longest = std::max(longest, clock.elapsed() - last);
      last = clock.elapsed();
    });
    clock.start();
    tick.start(5);
    Control<QPushButton>(window, "btn1")->click();
    for (int k = 0; k < 3; ++k) {
      QTRY_VERIFY_WITH_TIMEOUT(window.PausedForContinue() && EditorText(window, "Memo2").count(QStringLiteral("large")) == k + 1,
                               kTimeout);
      QVERIFY(Control<QPlainTextEdit>(window, "Memo1")->isReadOnly());
      QCOMPARE(Control<QPlainTextEdit>(window, "Memo1")->blockCount(), 200000);
      Control<QPushButton>(window, "btn1")->click();
    }
    QTRY_VERIFY_WITH_TIMEOUT(!window.RunActive(), kTimeout);
    qInfo("the longest the interface did not answer: %lld ms", static_cast<long long>(longest));
    QVERIFY(longest < 700);
  }

  void qtsOwnDialogsSpeakChinese() {
    if (!gui::LoadQtTranslation(*QCoreApplication::instance())) QSKIP("Qt's translations are not installed");
    QDialogButtonBox buttons(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QCOMPARE(buttons.button(QDialogButtonBox::Cancel)->text(), QStringLiteral("取消"));
  }

  void helpAndVersionNeedNoDisplay() {
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    for (const char* option : {"--help", "--version"}) {
      QProcess program;
      program.setProcessEnvironment(environment);
      program.start(QStringLiteral(CLASSTABLE_GUI_PROGRAM), {QString::fromLatin1(option)});
      QVERIFY(program.waitForFinished(10000));
      QCOMPARE(program.exitCode(), 0);
      QVERIFY(program.readAllStandardOutput().startsWith(option == std::string_view("--help") ? "Usage: classtable-gui"
                                                                                            : "classtable-gui "));
    }
  }
};

}  // namespace ct::testing

QTEST_MAIN(ct::testing::EditingTest)
#include "editing_test.moc"
