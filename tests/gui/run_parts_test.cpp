// The pieces of run control on their own: the continue gate and the
// hand-over to the interface thread, the worker loop, the pacing of editor
// refills, the text conversions, and the window driven by scripted runs
// whose stages take as long as the test wants.
#include <QtTest>

#include <QCheckBox>
#include <QPushButton>

#include <atomic>
#include <semaphore>
#include <stdexcept>
#include <thread>

#include "app/gui/display_pacer.h"
#include "app/gui/do_thread.h"
#include "app/gui/list_display.h"
#include "app/gui/main_window.h"
#include "app/gui/qt_text.h"
#include "app/gui/run_gate.h"
#include "tests/gui/gui_support.h"
#include "tests/support/run_folder.h"
#include "text/gbk.h"

namespace ct::testing {

namespace {

constexpr int kTimeout = 10000;

// A run whose single stage lasts until the test lets it end.
struct ScriptedRun {
  std::atomic<bool> in_stage{false};
  std::counting_semaphore<16> stage_may_end{0};
  std::atomic<int> runs{0};
  std::atomic<bool> second_report{false};
  std::atomic<RunOutcome> outcome{RunOutcome::kFailed};
  bool message_in_stage = false;

  RunOutcome operator()(FrontEnd& ui) {
    ++runs;
    LineList list(std::vector<std::string>{"a line"});
    RunOutcome result = Stages(ui, list);
    outcome = result;
    return result;
  }

  RunOutcome Stages(FrontEnd& ui, const LineList& list) {
    if (!ui.StageReport(list, "one")) return RunOutcome::kAbandoned;
    in_stage = true;
    stage_may_end.acquire();
    if (message_in_stage) ui.Message("caption", "while closing", MessageIcon::kError);
    second_report = true;
    if (!ui.StageReport(list, "two")) return RunOutcome::kAbandoned;
    ui.RunEnded();
    return RunOutcome::kSucceeded;
  }
};

struct ScriptedSession {
  ScriptedSession()
      : window(folder.path(), dialogs,
               [this](FrontEnd& ui, const std::filesystem::path&, const RunOptions&) { return script(ui); }) {}
  ~ScriptedSession() { script.stage_may_end.release(); }

  QPushButton* btn1() { return Control<QPushButton>(window, "btn1"); }
  QString LastLog() { return EditorText(window, "Memo2").split(QLatin1Char('\n')).last(); }

  TempFolder folder;
  FakeDialogs dialogs;
  ScriptedRun script;
  gui::TForm1 window;
};

std::vector<std::string> Lines(std::initializer_list<const char*> lines) { return {lines.begin(), lines.end()}; }

}  // namespace

class RunPartsTest : public QObject {
  Q_OBJECT

 private slots:
  void init() { ForgetSettings(); }

  // The window's settings go to a test location, not to the user's own.
  void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

  // ---- Run options -------------------------------------------------------------
  void theRecordPaddingIsRememberedAndGivenToEveryRun() {
    TempFolder folder;
    FakeDialogs dialogs;
    std::vector<RecordPadding> seen;
    auto run = [&seen](FrontEnd& ui, const std::filesystem::path&, const RunOptions& options) {
      seen.push_back(options.record_padding);
      ui.RunEnded();
      return RunOutcome::kSucceeded;
    };
    {
      gui::TForm1 window(folder.path(), dialogs, run);
      auto* padding = Control<QCheckBox>(window, "chkPadding");
      QVERIFY(padding != nullptr);
      for (bool largest : {false, true}) {
        padding->setChecked(largest);
        Control<QPushButton>(window, "btn1")->click();
        QTRY_VERIFY_WITH_TIMEOUT(!window.RunActive(), kTimeout);
      }
    }
    QCOMPARE(seen, (std::vector<RecordPadding>{RecordPadding::kFour, RecordPadding::kLargest}));
    gui::TForm1 reopened(folder.path(), dialogs, run);
    QVERIFY(Control<QCheckBox>(reopened, "chkPadding")->isChecked());
    Control<QCheckBox>(reopened, "chkPadding")->setChecked(false);
  }

  // ---- Continue gate ----------------------------------------------------------
  void aPressBeforeTheClearIsDiscarded() {
    gui::RunGate gate;
    gate.PressContinue();
    gate.ClearContinue();
    std::atomic<bool> released{false};
    std::thread worker([&] { released = gate.WaitForContinue(); });
    QTRY_VERIFY(gate.Waiting());
    QTest::qWait(50);
    QVERIFY(!released);
    gate.PressContinue();
    worker.join();
    QVERIFY(released);
    QVERIFY(!gate.Waiting());
  }

  void closingEndsTheWaitAndStopsHandOvers() {
    gui::RunGate gate;
    gate.ClearContinue();
    std::atomic<int> result{-1};
    std::thread worker([&] { result = gate.WaitForContinue() ? 1 : 0; });
    QTRY_VERIFY(gate.Waiting());
    gate.Close();
    worker.join();
    QCOMPARE(result.load(), 0);

    QObject context;
    bool ran = false;
    std::thread late([&] { result = gate.RunOnInterface(&context, [&] { ran = true; }) ? 1 : 0; });
    late.join();
    QCOMPARE(result.load(), 0);
    QCoreApplication::processEvents();
    QVERIFY(!ran);
  }

  void handOverRunsOnTheInterfaceThreadBeforeReturning() {
    gui::RunGate gate;
    QObject context;
    std::thread::id ran_on;
    std::atomic<bool> returned{false};
    std::thread worker([&] {
      gate.RunOnInterface(&context, [&] { ran_on = std::this_thread::get_id(); });
      returned = true;
    });
    QTRY_VERIFY(returned);
    worker.join();
    QCOMPARE(ran_on, std::this_thread::get_id());
  }

  void aHandOverNotYetStartedIsDroppedWhenClosing() {
    gui::RunGate gate;
    QObject context;
    bool ran = false;
    std::atomic<int> result{-1};
    // The interface thread does not process events until the gate closes.
    std::thread worker([&] { result = gate.RunOnInterface(&context, [&] { ran = true; }) ? 1 : 0; });
    QTest::qSleep(50);
    gate.Close();
    worker.join();
    QCOMPARE(result.load(), 0);
    QCoreApplication::processEvents();
    QVERIFY(!ran);
  }

  // ---- Worker loop --------------------------------------------------------------
  void theWorkerRunsOncePerResume() {
    std::atomic<int> runs{0};
    std::binary_semaphore may_end{0};
    {
      gui::TDoThread worker([&] {
        ++runs;
        may_end.acquire();
      });
      QTest::qWait(30);
      QCOMPARE(runs.load(), 0);
      worker.Resume();
      QTRY_COMPARE(runs.load(), 1);
      // Two Starts during a run are one more run, not two.
      worker.Resume();
      worker.Resume();
      may_end.release();
      QTRY_COMPARE(runs.load(), 2);
      may_end.release();
      QTRY_VERIFY(!worker.Running());
      QTest::qWait(30);
      QCOMPARE(runs.load(), 2);
    }
    QCOMPARE(runs.load(), 2);
  }

  // ---- Pacing -------------------------------------------------------------------
  void pacing_data() {
    QTest::addColumn<qint64>("shown_at");
    QTest::addColumn<qint64>("cost");
    QTest::addColumn<qint64>("too_early");
    QTest::addColumn<qint64>("due");
    QTest::newRow("a cheap refill waits the minimum gap") << qint64(1000) << qint64(10) << qint64(1259) << qint64(1260);
    QTest::newRow("a slow refill waits four times its cost") << qint64(0) << qint64(1000) << qint64(4999)
                                                             << qint64(5000);
    QTest::newRow("a clock hiccup counts as no cost") << qint64(500) << qint64(-5) << qint64(749) << qint64(750);
  }

  void pacing() {
    QFETCH(qint64, shown_at);
    QFETCH(qint64, cost);
    QFETCH(qint64, too_early);
    QFETCH(qint64, due);
    gui::DisplayPacer pacer;
    QVERIFY(pacer.MayShowAt(0));
    pacer.Shown(shown_at, cost);
    QVERIFY(!pacer.MayShowAt(too_early));
    QVERIFY(pacer.MayShowAt(due));
    QCOMPARE(pacer.DueAt(), due);
  }

  void heldListsAreShownOnFlushButNeverLost() {
    QPlainTextEdit editor;
    gui::ListDisplay display(&editor, 60000);
    display.Offer(Lines({"first"}));
    QCOMPARE(editor.toPlainText(), QStringLiteral("first"));
    display.Offer(Lines({"second"}));
    display.Offer(Lines({"third", "3"}));
    QVERIFY(display.Holding());
    QCOMPARE(editor.toPlainText(), QStringLiteral("first"));
    display.Flush();
    QCOMPARE(editor.toPlainText(), QStringLiteral("third\n3"));

    // A list that waits replaces a held one for good.
    display.Offer(Lines({"fourth"}));
    display.ShowNow(Lines({"paused"}));
    QVERIFY(!display.Holding());
    display.Flush();
    QCOMPARE(editor.toPlainText(), QStringLiteral("paused"));
  }

  void aHeldListFallsDueByItself() {
    QPlainTextEdit editor;
    gui::ListDisplay display(&editor, 100);
    display.Offer(Lines({"first"}));
    display.Offer(Lines({"second"}));
    QTRY_COMPARE_WITH_TIMEOUT(editor.toPlainText(), QStringLiteral("second"), 5000);
    QVERIFY(!display.Holding());
  }

  // ---- Text conversions -----------------------------------------------------------
  void editorTextRoundTrip_data() {
    QTest::addColumn<QStringList>("lines");
    QTest::newRow("chinese") << QStringList{"名字 = 1", "", "\tTBase = {"};
    QTest::newRow("no lines") << QStringList{};
    QTest::newRow("spaces kept") << QStringList{" a ", "  "};
  }

  void editorTextRoundTrip() {
    QFETCH(QStringList, lines);
    std::vector<std::string> gbk;
    for (const QString& line : lines) gbk.push_back(Gbk(line.toStdString()));
    QString shown = gui::EditorText(gbk);
    QCOMPARE(shown, lines.join(QLatin1Char('\n')));
    size_t bad_line = 0;
    std::optional<LineList> back = gui::LinesFromEditor(shown, bad_line);
    QVERIFY(back);
    // A last empty line has no break after it, so it cannot come back.
    if (!gbk.empty() && gbk.back().empty()) gbk.pop_back();
    QVERIFY(back->Lines() == gbk);
  }

  void aBrokenByteDoesNotSwallowTheLineBreak() {
    QString shown = gui::EditorText({"ab\x81", "next"});
    QCOMPARE(shown.split(QLatin1Char('\n')).size(), 2);
    QCOMPARE(shown.split(QLatin1Char('\n'))[1], QStringLiteral("next"));
  }

  void aCharacterWithoutGbkFormNamesItsLine() {
    size_t bad_line = 99;
    QVERIFY(!gui::LinesFromEditor(QStringLiteral("ok\n名字\nbad \U0001F600 here\nlater"), bad_line));
    QCOMPARE(bad_line, size_t{2});
  }

  // ---- The window with scripted runs --------------------------------------------------
  void aPressDuringARunningStageIsDiscarded() {
    ScriptedSession session;
    Control<QCheckBox>(session.window, "chk1")->setChecked(false);
    session.btn1()->click();
    QTRY_VERIFY_WITH_TIMEOUT(session.window.PausedForContinue(), kTimeout);
    session.btn1()->click();
    QTRY_VERIFY_WITH_TIMEOUT(session.script.in_stage.load(), kTimeout);
    QTRY_COMPARE(session.btn1()->text(), QStringLiteral("等待..."));
    session.btn1()->click();  // while the stage runs
    session.script.stage_may_end.release();
    QTRY_COMPARE_WITH_TIMEOUT(session.LastLog(), QStringLiteral("two"), kTimeout);
    QTest::qWait(150);
    QVERIFY(session.window.PausedForContinue());
    QVERIFY(session.window.RunActive());
    session.btn1()->click();
    QTRY_VERIFY_WITH_TIMEOUT(!session.window.RunActive(), kTimeout);
    QCOMPARE(session.script.outcome.load(), RunOutcome::kSucceeded);
  }

  void startDuringARunStartsNoSecondRun() {
    ScriptedSession session;
    session.btn1()->click();
    QTRY_VERIFY_WITH_TIMEOUT(session.script.in_stage.load(), kTimeout);
    session.btn1()->click();
    session.btn1()->click();
    session.script.stage_may_end.release();
    QTRY_VERIFY_WITH_TIMEOUT(!session.window.RunActive(), kTimeout);
    QTest::qWait(100);
    QCOMPARE(session.script.runs.load(), 1);
    QCOMPARE(session.btn1()->text(), QStringLiteral("开始"));
  }

  void closingWhileAStageRunsEndsTheRunAtTheNextReport() {
    ScriptedSession session;
    session.script.message_in_stage = true;
    session.btn1()->click();
    QTRY_VERIFY_WITH_TIMEOUT(session.script.in_stage.load(), kTimeout);
    session.window.close();
    session.script.stage_may_end.release();
    QTRY_VERIFY_WITH_TIMEOUT(session.script.second_report.load(), kTimeout);
    QTRY_COMPARE_WITH_TIMEOUT(session.script.outcome.load(), RunOutcome::kAbandoned, kTimeout);
    QVERIFY(session.dialogs.messages.empty());
    QCOMPARE(session.LastLog(), QStringLiteral("one"));
  }

  void theEditorSettlesOnTheLatestList() {
    TempFolder folder;
    FakeDialogs dialogs;
    gui::TForm1 window(folder.path(), dialogs, [](FrontEnd& ui, const std::filesystem::path&, const RunOptions&) {
      for (const char* text : {"first", "second", "third"}) ui.StageReport(LineList(Lines({text})), "stage");
      ui.Message("caption", "text", MessageIcon::kInformation);
      ui.StageReport(LineList(Lines({"last"})), "stage");
      ui.RunEnded();
      return RunOutcome::kSucceeded;
    });
    QString shown_with_message;
    dialogs.on_message = [&] { shown_with_message = EditorText(window, "Memo1"); };
    Control<QPushButton>(window, "btn1")->click();
    QTRY_VERIFY_WITH_TIMEOUT(!window.RunActive(), kTimeout);
    QCOMPARE(shown_with_message, QStringLiteral("third"));
    QCOMPARE(EditorText(window, "Memo1"), QStringLiteral("last"));
  }

  void aFailingRunReturnsTheWindowToIdle() {
    TempFolder folder;
    FakeDialogs dialogs;
    gui::TForm1 window(folder.path(), dialogs,
                       [](FrontEnd& ui, const std::filesystem::path&, const RunOptions&) -> RunOutcome {
      ui.ClearLog();
      throw std::runtime_error("out of memory");
    });
    Control<QPushButton>(window, "btn1")->click();
    QTRY_VERIFY_WITH_TIMEOUT(!window.RunActive(), kTimeout);
    QCOMPARE(Control<QPushButton>(window, "btn1")->text(), QStringLiteral("开始"));
    QCOMPARE(dialogs.messages.size(), size_t{1});
    QVERIFY(dialogs.messages[0].text.contains(QStringLiteral("out of memory")));
    QVERIFY(EditorText(window, "Memo2").startsWith(QStringLiteral("--------------------")));
  }
};

}  // namespace ct::testing

QTEST_MAIN(ct::testing::RunPartsTest)
#include "run_parts_test.moc"
