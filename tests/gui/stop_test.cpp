// Ending and driving a run from the window: Stop and Esc end it inside a
// long stage or at a pause, closing during a run asks first, F5 and Space
// start and continue, and the progress bar and status line follow the
// stages.
#include <QtTest>

#include <QCheckBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>

#include <atomic>

#include "app/gui/main_window.h"
#include "pipeline/texts.h"
#include "tests/gui/gui_support.h"
#include "tests/support/run_folder.h"

namespace ct::testing {

namespace {

constexpr int kTimeout = 60000;

QStringList LogOf(QWidget& window) { return EditorText(window, "Memo2").split(QLatin1Char('\n')); }

// A window whose run records its outcome.
struct Session {
  explicit Session(const std::string& input)
      : window(folder.path(), dialogs, [this](FrontEnd& ui, const std::filesystem::path& f, const RunOptions& options) {
          RunOutcome result = RunConversion(ui, f, options);
          outcome = result;
          ++runs;
          return result;
        }) {
    folder.Write("ClassTable.txt", input);
  }

  QPushButton* Button(const char* name) { return Control<QPushButton>(window, name); }
  void ShowActive() {
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
  }

  TempFolder folder;
  FakeDialogs dialogs;
  std::atomic<RunOutcome> outcome{RunOutcome::kFailed};
  std::atomic<int> runs{0};
  gui::TForm1 window;
};

// A record of many fields on one line: the stages from its layout on take
// a good part of a second even in an optimised build, seconds in a test
// build.
std::string WideRecord() {
  std::string wide = "type TWide = record";
  for (int i = 0; i < 80000; ++i) wide += " f" + std::to_string(i) + ": Integer;";
  return WithPrelude(wide + " end;");
}

// The number of the last stage the log has reported (1-based), 0 for none.
int LastStageInLog(const QStringList& log) {
  int last = 0;
  for (const QString& line : log)
    for (size_t k = 0; k < std::size(texts::kStageMessages); ++k)
      if (line == Utf8(texts::kStageMessages[k])) last = std::max(last, static_cast<int>(k) + 1);
  return last;
}

const std::string kSmall = WithPrelude("type TPoint3 = record X, Y, Z: Integer; end;");

}  // namespace

class StopTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { ForgetSettings(); }

  void stopEndsALongStageWithinASecond() {
    Session session(WideRecord());
    session.Button("btn1")->click();
    QVERIFY(session.Button("btnStop")->isEnabled());
    // Stop as soon as the layout has begun: how far the run gets before the
    // press lands depends on the build and the machine, so the files are
    // judged by the stage the log shows it stopped in.
    const QString layout_stage = Utf8(texts::kStageMessages[16]);
    QTRY_VERIFY_WITH_TIMEOUT(LogOf(session.window).contains(layout_stage), kTimeout);
    QElapsedTimer stopping;
    stopping.start();
    session.Button("btnStop")->click();
    QTRY_VERIFY_WITH_TIMEOUT(!session.window.RunActive(), 1000);
    qInfo("stopped %lld ms after the press", static_cast<long long>(stopping.elapsed()));
    QTRY_COMPARE(session.runs.load(), 1);
    QCOMPARE(session.outcome.load(), RunOutcome::kStopped);
    const QStringList log = LogOf(session.window);
    QCOMPARE(log.last(), Utf8(texts::kRunStoppedLog));
    QCOMPARE(session.Button("btn1")->text(), QStringLiteral("开始"));
    QVERIFY(!session.Button("btnStop")->isEnabled());
    // The files of the stages before it stay; none after it is written.
    const int stopped_in = LastStageInLog(log);
    qInfo("stopped in stage %d", stopped_in);
    QVERIFY(stopped_in >= 17);
    QVERIFY(session.folder.Has("ClassTable_D.lua"));
    // A stop inside the stage that saves a file may come before or after
    // the save; any other stage decides.
    for (const auto& [file, saved_in] : {std::pair{"ClassTable_E.lua", 20}, std::pair{"ClassTable_F.lua", 28}})
      if (stopped_in != saved_in) QCOMPARE(session.folder.Has(file), stopped_in > saved_in);
    QVERIFY(!session.folder.Has("ClassType.lua"));
    QVERIFY(session.dialogs.messages.empty());
  }

  void escapeStopsAPausedRun() {
    Session session(kSmall);
    session.ShowActive();
    Control<QCheckBox>(session.window, "chk1")->setChecked(false);
    session.Button("btn1")->click();
    QTRY_VERIFY_WITH_TIMEOUT(session.window.PausedForContinue(), kTimeout);
    QTest::keyClick(&session.window, Qt::Key_Escape);
    QTRY_VERIFY_WITH_TIMEOUT(!session.window.RunActive(), kTimeout);
    QTRY_COMPARE(session.outcome.load(), RunOutcome::kStopped);
    QCOMPARE(LogOf(session.window).last(), Utf8(texts::kRunStoppedLog));
  }

  void f5StartsAndSpaceContinues() {
    Session session(kSmall);
    session.ShowActive();
    Control<QCheckBox>(session.window, "chk1")->setChecked(false);
    QTest::keyClick(&session.window, Qt::Key_F5);
    QTRY_VERIFY_WITH_TIMEOUT(session.window.PausedForContinue() && LogOf(session.window).size() == 2, kTimeout);
    // The paused run owns the editor: Space cannot type there.
    QVERIFY(Control<QPlainTextEdit>(session.window, "Memo1")->isReadOnly());
    QTest::keyClick(&session.window, Qt::Key_Space);
    QTRY_VERIFY_WITH_TIMEOUT(session.window.PausedForContinue() && LogOf(session.window).size() == 3, kTimeout);
    QTest::keyClick(&session.window, Qt::Key_R, Qt::ControlModifier);
    QTRY_VERIFY_WITH_TIMEOUT(session.window.PausedForContinue() && LogOf(session.window).size() == 4, kTimeout);
    Control<QCheckBox>(session.window, "chk1")->setChecked(true);
    QTest::keyClick(&session.window, Qt::Key_Space);
    QTRY_VERIFY_WITH_TIMEOUT(!session.window.RunActive(), kTimeout);
    QCOMPARE(session.outcome.load(), RunOutcome::kSucceeded);
    QVERIFY(!Control<QPlainTextEdit>(session.window, "Memo1")->isReadOnly());
  }

  void closingDuringARunAsksFirst() {
    Session session(kSmall);
    session.window.show();
    Control<QCheckBox>(session.window, "chk1")->setChecked(false);
    session.Button("btn1")->click();
    QTRY_VERIFY_WITH_TIMEOUT(session.window.PausedForContinue(), kTimeout);
    session.dialogs.ask_answer = gui::Answer::kNo;
    QVERIFY(!session.window.close());
    QCOMPARE(session.dialogs.questions.size(), 1);
    QVERIFY(session.window.isVisible());
    QVERIFY(session.window.RunActive());
    session.dialogs.ask_answer = gui::Answer::kYes;
    QVERIFY(session.window.close());
    QTRY_COMPARE_WITH_TIMEOUT(session.runs.load(), 1, kTimeout);
    QVERIFY(session.outcome.load() == RunOutcome::kAbandoned || session.outcome.load() == RunOutcome::kStopped);
  }

  void theProgressFollowsStagesAndCycles() {
    TempFolder folder;
    FakeDialogs dialogs;
    gui::TForm1 window(folder.path(), dialogs, [](FrontEnd& ui, const std::filesystem::path&, const RunOptions&) {
      ui.Progress({17, 35, 3});
      ui.StageReport(LineList(std::vector<std::string>{"x"}), "stage");
      ui.RunEnded();
      return RunOutcome::kStopped;
    });
    Control<QCheckBox>(window, "chk1")->setChecked(false);
    Control<QPushButton>(window, "btn1")->click();
    QTRY_VERIFY_WITH_TIMEOUT(window.PausedForContinue(), kTimeout);
    QTRY_COMPARE(Control<QProgressBar>(window, "pb1")->value(), 16 * 10 + 3);
    QCOMPARE(Control<QStatusBar>(window, "statusBar")->currentMessage(), QStringLiteral("第 17/35 步，布局第 3 轮"));
    QVERIFY(Control<QLabel>(window, "lblElapsed")->text().startsWith(QStringLiteral("用时 ")));
    Control<QPushButton>(window, "btn1")->click();
    QTRY_VERIFY_WITH_TIMEOUT(!window.RunActive(), kTimeout);
  }

  void aCompleteRunFillsTheBar() {
    Session session(kSmall);
    session.Button("btn1")->click();
    QTRY_VERIFY_WITH_TIMEOUT(session.window.Idle(), kTimeout);
    auto* bar = Control<QProgressBar>(session.window, "pb1");
    QTRY_COMPARE(bar->value(), bar->maximum());
    QCOMPARE(Control<QStatusBar>(session.window, "statusBar")->currentMessage(), QStringLiteral("第 35/35 步"));
  }
};

}  // namespace ct::testing

QTEST_MAIN(ct::testing::StopTest)
#include "stop_test.moc"
