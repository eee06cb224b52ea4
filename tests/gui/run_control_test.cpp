// Whole runs through the window: automatic and manual stepping, the pause
// and its Continue presses, a run started again, closing during a run and
// an input that cannot be read. The window must show what the driver
// reports, so each case compares it with a recorded run over the same input.
#include <QtTest>

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>

#include <atomic>

#include "app/gui/main_window.h"
#include "pipeline/driver.h"
#include "pipeline/normalise/normalise.h"
#include "pipeline/texts.h"
#include "tests/gui/gui_support.h"
#include "tests/support/run_folder.h"
#include "text/gbk.h"

namespace ct::testing {

namespace {

constexpr int kTimeout = 20000;

// Backslashes and apostrophes, so that the escape stage has work to do.
const std::string kDeclarations =
    "const\n"
    "  HomeDir = 'C:\\Games\\Host';\n"
    "type\n"
    "  TPoint = record\n"
    "    X, Y: Integer;\n"
    "  end;\n";

QStringList LogOf(QWidget& window) {
  QString text = EditorText(window, "Memo2");
  return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

QStringList Utf8Lines(const std::vector<std::string>& gbk) {
  QStringList lines;
  for (const auto& line : gbk) lines << Utf8(GbkToUtf8(line));
  return lines;
}

QString StageMessage(int stage) { return Utf8(texts::kStageMessages[static_cast<size_t>(stage - 1)]); }

// The same input run by the driver alone, the comparison for the window.
struct Recorded {
  explicit Recorded(const std::string& input) { RunOn(run, input); }
  WholeRun run;
};

// A window over a folder holding `input`, with the outcome of its last run.
struct Session {
  explicit Session(const std::string& input)
      : window(folder.path(), dialogs, [this](FrontEnd& ui, const std::filesystem::path& f, const RunOptions& o) {
          RunOutcome result = RunConversion(ui, f, o);
          outcome = result;
          ++runs;
          return result;
        }) {
    folder.Write("ClassTable.txt", input);
  }

  QPushButton* btn1() { return Control<QPushButton>(window, "btn1"); }
  QCheckBox* chk1() { return Control<QCheckBox>(window, "chk1"); }
  bool PausedAfter(int log_lines) { return window.PausedForContinue() && LogOf(window).size() == log_lines; }

  TempFolder folder;
  FakeDialogs dialogs;
  std::atomic<RunOutcome> outcome{RunOutcome::kFailed};
  std::atomic<int> runs{0};
  gui::TForm1 window;
};

}  // namespace

class RunControlTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { ForgetSettings(); }

  void automaticRunEndsIdleWithTheResult() {
    std::string input = WithPrelude(kDeclarations);
    Recorded recorded(input);
    Session session(input);
    session.btn1()->click();
    QVERIFY(session.window.RunActive());
    QTRY_VERIFY_WITH_TIMEOUT(!session.window.RunActive(), kTimeout);

    QCOMPARE(session.btn1()->text(), QStringLiteral("开始"));
    QCOMPARE(session.runs.load(), 1);
    QCOMPARE(LogOf(session.window), Utf8Lines(recorded.run.ui.log));
    QCOMPARE(LogOf(session.window).size(), 35 + 2);
    QCOMPARE(Control<QLabel>(session.window, "lbl1")->text(), Utf8(GbkToUtf8(recorded.run.ui.result_label)));
    QVERIFY(session.window.findChild<QLabel*>("lbl1")->text().startsWith(QStringLiteral("Lua类型表创建")));
    // However the refills were paced, the editor ends on the last report's list.
    QCOMPARE(EditorText(session.window, "Memo1"), ShownText(recorded.run.ui.stages.back().list));
    QCOMPARE(session.dialogs.messages.size(), recorded.run.ui.messages.size());
    QCOMPARE(session.dialogs.messages.back().text, Utf8(GbkToUtf8(recorded.run.ui.messages.back().text)));
    QCOMPARE(session.folder.Read("ClassType.lua"), recorded.run.folder.Read("ClassType.lua"));
  }

  void manualRunAdvancesOneStagePerPress() {
    std::string input = WithPrelude(kDeclarations);
    Recorded recorded(input);
    Session session(input);
    session.chk1()->setChecked(false);
    session.btn1()->click();
    QTRY_VERIFY_WITH_TIMEOUT(session.PausedAfter(2), kTimeout);
    QCOMPARE(LogOf(session.window).last(), QStringLiteral("清理掉注释的字符"));
    QCOMPARE(session.btn1()->text(), QStringLiteral("继续"));
    LineList escaped;
    escaped.SetText(input);
    EscapeInputText(escaped);
    QCOMPARE(EditorText(session.window, "Memo1"), ShownText(escaped.Lines()));

    for (int stage = 2; stage <= 6; ++stage) {
      session.btn1()->click();
      QTRY_VERIFY_WITH_TIMEOUT(session.PausedAfter(stage + 1), kTimeout);
      QTest::qWait(50);
      QVERIFY(session.PausedAfter(stage + 1));
      QCOMPARE(LogOf(session.window).last(), StageMessage(stage));
      QCOMPARE(EditorText(session.window, "Memo1"),
               ShownText(recorded.run.ui.stages[static_cast<size_t>(stage - 1)].list));
      QCOMPARE(session.btn1()->text(), QStringLiteral("继续"));
    }
  }

  void checkingAutomaticDuringAPauseWaitsForTheNextPress() {
    std::string input = WithPrelude(kDeclarations);
    Recorded recorded(input);
    Session session(input);
    session.chk1()->setChecked(false);
    session.btn1()->click();
    QTRY_VERIFY_WITH_TIMEOUT(session.PausedAfter(2), kTimeout);
    session.chk1()->setChecked(true);
    QTest::qWait(150);
    QVERIFY(session.PausedAfter(2));

    session.btn1()->click();
    QTRY_VERIFY_WITH_TIMEOUT(!session.window.RunActive(), kTimeout);
    QCOMPARE(LogOf(session.window), Utf8Lines(recorded.run.ui.log));
  }

  void aNewStartReadsTheInputAgain() {
    Session session(WithPrelude(kDeclarations));
    session.btn1()->click();
    QTRY_VERIFY_WITH_TIMEOUT(!session.window.RunActive(), kTimeout);

    std::string changed = WithPrelude("type\n  TName = string[31]; // 'quoted' \\ text\n");
    session.folder.Write("ClassTable.txt", changed);
    session.chk1()->setChecked(false);
    session.btn1()->click();
    QTRY_VERIFY_WITH_TIMEOUT(session.PausedAfter(2), kTimeout);
    QCOMPARE(session.runs.load(), 1);
    LineList escaped;
    escaped.SetText(changed);
    EscapeInputText(escaped);
    QCOMPARE(EditorText(session.window, "Memo1"), ShownText(escaped.Lines()));
  }

  void closingDuringAPauseAbandonsTheRun() {
    Session session(WithPrelude(kDeclarations));
    session.chk1()->setChecked(false);
    session.btn1()->click();
    QTRY_VERIFY_WITH_TIMEOUT(session.PausedAfter(2), kTimeout);
    session.window.close();
    QTRY_COMPARE_WITH_TIMEOUT(session.runs.load(), 1, kTimeout);
    QCOMPARE(session.outcome.load(), RunOutcome::kAbandoned);
    QVERIFY(!session.folder.Has("ClassTable_B.lua"));
    QVERIFY(session.dialogs.messages.empty());
  }

  void anUnreadableInputEndsTheRunInIdle() {
    TempFolder folder;
    FakeDialogs dialogs;
    gui::TForm1 window(folder.path(), dialogs);
    Control<QPushButton>(window, "btn1")->click();
    QTRY_VERIFY_WITH_TIMEOUT(!window.RunActive(), kTimeout);
    QCOMPARE(Control<QPushButton>(window, "btn1")->text(), QStringLiteral("开始"));
    QStringList log = LogOf(window);
    QCOMPARE(log.size(), 2);
    QCOMPARE(log[0], QStringLiteral("开始创建...."));
    QVERIFY(log[1].startsWith(QStringLiteral("--------------------无法读取源代码文本 ClassTable.txt")));
    QCOMPARE(dialogs.messages.size(), size_t{1});
    QCOMPARE(dialogs.messages[0].icon, gui::BoxIcon::kError);
    QCOMPARE(Control<QLabel>(window, "lbl1")->text(), QStringLiteral("当前行号"));

    // The window is ready for the next Start once the file is there.
    folder.Write("ClassTable.txt", WithPrelude(kDeclarations));
    Control<QPushButton>(window, "btn1")->click();
    QTRY_VERIFY_WITH_TIMEOUT(!window.RunActive(), kTimeout);
    QVERIFY(folder.Has("ClassType.lua"));
  }
};

}  // namespace ct::testing

QTEST_MAIN(ct::testing::RunControlTest)
#include "run_control_test.moc"
