// What a run that goes wrong shows: one box per kind however often it comes
// (unless the user asks for more), every problem in the problems list with
// its line of ClassTable.txt, and a double click that opens the input there.
#include <QtTest>

#include <QAction>
#include <QPushButton>
#include <QTabWidget>
#include <QTextBlock>
#include <QTreeWidget>

#include <map>

#include "app/gui/main_window.h"
#include "app/gui/gui_texts.h"
#include "pipeline/texts.h"
#include "tests/gui/gui_support.h"
#include "tests/support/run_folder.h"

namespace ct::testing {

namespace {

constexpr int kTimeout = 30000;
// Where the appended declarations start in ClassTable.txt.
const int kFirstLine = static_cast<int>(FirstDeclarationLine());

// Three records whose member types are malformed numbers: every layout
// cycle reports each of them again.
const std::string kFaulty = WithPrelude(
    "type\n"
    "  TA = record a: X_12; end;\n"
    "  TB = record b: Y_34; end;\n"
    "  TC = record\n"
    "    c: Z_56;\n"
    "  end;\n");

struct Session {
  Session() : window(folder.path(), dialogs) { folder.Write("ClassTable.txt", kFaulty); }
  void Run() {
    Control<QPushButton>(window, "btn1")->click();
    QTRY_VERIFY_WITH_TIMEOUT(window.Idle(), kTimeout);
  }
  std::map<QString, int> BoxesByText() const {
    std::map<QString, int> count;
    for (const auto& m : dialogs.messages) ++count[m.text];
    return count;
  }
  QTreeWidget* Problems() { return Control<QTreeWidget>(window, "lstProblems"); }

  TempFolder folder;
  FakeDialogs dialogs;
  gui::TForm1 window;
};

}  // namespace

class ProblemsTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { ForgetSettings(); }

  void oneBoxPerKindTheRestInTheLogAndTheList() {
    Session session;
    session.Run();
    std::map<QString, int> boxes = session.BoxesByText();
    QCOMPARE(boxes[Utf8(texts::kBadNumberBox)], 1);
    QCOMPARE(boxes[Utf8(texts::kLayoutIncompleteBox)], 1);
    QCOMPARE(boxes[Utf8(texts::kFailedBox)], 1);
    const QString log = EditorText(session.window, "Memo2");
    QVERIFY(log.count(Utf8(texts::kBadNumberBox)) > 3);
    int number_problems = 0;
    for (int i = 0; i < session.Problems()->topLevelItemCount(); ++i)
      if (session.Problems()->topLevelItem(i)->text(2).startsWith(Utf8(texts::kBadNumberBox))) ++number_problems;
    QCOMPARE(number_problems, log.count(Utf8(texts::kBadNumberBox)));
  }

  void boxesComeAgainWhenTheUserAsks() {
    Session session;
    session.dialogs.no_more_answer = false;
    session.Run();
    QVERIFY(session.BoxesByText()[Utf8(texts::kBadNumberBox)] > 3);
  }

  void everyProblemNamesItsInputLine() {
    Session session;
    session.Run();
    // Each structure the layout could not finish is left out of the script,
    // named with the member and type that stopped it.
    std::map<QString, QString> left_out;  // text -> line
    for (int i = 0; i < session.Problems()->topLevelItemCount(); ++i) {
      QTreeWidgetItem* item = session.Problems()->topLevelItem(i);
      if (item->text(0) == Utf8(gui_texts::kProblemLeftOut)) left_out[item->text(2)] = item->text(1);
    }
    QCOMPARE(left_out[QStringLiteral("结构 TA 已略去：成员 a 未知数据类型: \"X_12\"")], QString::number(kFirstLine + 1));
    QCOMPARE(left_out[QStringLiteral("结构 TB 已略去：成员 b 未知数据类型: \"Y_34\"")], QString::number(kFirstLine + 2));
    QCOMPARE(left_out[QStringLiteral("结构 TC 已略去：成员 c 未知数据类型: \"Z_56\"")], QString::number(kFirstLine + 3));
    QVERIFY(Control<QTabWidget>(session.window, "tabLower")->tabText(1).startsWith(QStringLiteral("问题 (")));
  }

  void aDoubleClickOpensTheInputAtThatLine() {
    Session session;
    session.window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&session.window));
    session.Run();
    Control<QTabWidget>(session.window, "tabLower")->setCurrentIndex(1);
    QTreeWidgetItem* tc = nullptr;
    for (int i = 0; i < session.Problems()->topLevelItemCount(); ++i)
      if (session.Problems()->topLevelItem(i)->text(2).startsWith(QStringLiteral("结构 TC "))) tc = session.Problems()->topLevelItem(i);
    QVERIFY(tc);
    session.Problems()->scrollToItem(tc);
    QTest::qWait(50);  // the list is laid out once its tab shows
    QRect row = session.Problems()->visualItemRect(tc);
    // A double click as the mouse makes it: a click, then the second press.
    QTest::mouseClick(session.Problems()->viewport(), Qt::LeftButton, Qt::NoModifier, row.center());
    QTest::mouseDClick(session.Problems()->viewport(), Qt::LeftButton, Qt::NoModifier, row.center());
    auto* memo1 = Control<QPlainTextEdit>(session.window, "Memo1");
    QTRY_COMPARE(memo1->textCursor().blockNumber() + 1, kFirstLine + 3);
    QCOMPARE(memo1->textCursor().block().text(), QStringLiteral("  TC = record"));
    QCOMPARE(memo1->document()->blockCount(), kFirstLine + 5);
    QVERIFY(Control<QAction>(session.window, "actSaveInput")->isEnabled());
    QVERIFY(!memo1->isReadOnly());
  }

  void theNestingErrorNamesTheInputLineToo() {
    Session session;
    session.folder.Write("ClassTable.txt", WithPrelude("const\n  A = 1;\n  B = (2 + 3));\n"));
    session.Run();
    QCOMPARE(session.Problems()->topLevelItemCount(), 1);
    QCOMPARE(session.Problems()->topLevelItem(0)->text(1), QString::number(kFirstLine + 2));
    QCOMPARE(session.Problems()->topLevelItem(0)->text(2), Utf8(texts::kMismatchBox));
  }
};

}  // namespace ct::testing

QTEST_MAIN(ct::testing::ProblemsTest)
#include "problems_test.moc"
