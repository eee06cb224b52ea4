#include "pipeline/driver.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "pipeline/file_store.h"
#include "pipeline/stop_request.h"
#include "pipeline/texts.h"
#include "resources/prelude.h"
#include "tests/support/run_folder.h"
#include "text/gbk.h"

namespace ct {
namespace {

using testing::RunOn;
using testing::WholeRun;
using testing::WithPrelude;
using testing::kOneRecord;

const char* const kOutputs[] = {"ClassTable_B.lua", "ClassTable_C.lua", "ClassTable_D.lua",
                                "ClassTable_E.lua", "ClassTable_F.lua", "ClassType.lua"};

TEST(DriverTest, ReportsEveryStageInOrderBetweenTheStartAndResultLines) {
  WholeRun run;
  RunOn(run, WithPrelude(kOneRecord));
  ASSERT_EQ(run.outcome, RunOutcome::kSucceeded);
  std::vector<std::string> expected = {std::string(texts::kStartCreating)};
  for (auto message : texts::kStageMessages) expected.emplace_back(message);
  expected.emplace_back(texts::kSucceededLog);
  EXPECT_EQ(run.ui.LogUtf8(), expected);
  ASSERT_EQ(run.ui.stages.size(), 35u);
  EXPECT_EQ(run.ui.result_label, Gbk(texts::kSucceededLabel));
  ASSERT_EQ(run.ui.messages.size(), 1u);
  EXPECT_EQ(run.ui.messages[0].caption, Gbk(texts::kCaptionConfirm));
  EXPECT_EQ(run.ui.messages[0].icon, MessageIcon::kInformation);
  EXPECT_EQ(run.ui.runs_ended, 1);
}

TEST(DriverTest, ShowsTheInputFirstAndTheStillEmptyWorkingListAtStageThree) {
  WholeRun run;
  RunOn(run, "A = 1;\r\n");
  ASSERT_EQ(run.ui.shown.size(), 1u);
  EXPECT_EQ(run.ui.shown[0], std::vector<std::string>{"A = 1;"});
  EXPECT_TRUE(run.ui.stages[2].list.empty());
}

// The files a run leaves belong to one input: a nesting report of an
// earlier input goes once the nesting check passes, and the script it
// replaces stays as the backup.
TEST(DriverTest, WritesEveryIntermediateFileAndNoNestingReport) {
  WholeRun run;
  run.folder.Write("ClassTable_A.lua", "from an earlier run\r\n");
  run.folder.Write("ClassType.lua", "-- the earlier script\r\n");
  RunOn(run, WithPrelude(kOneRecord));
  for (const char* name : kOutputs) EXPECT_TRUE(run.folder.Has(name)) << name;
  EXPECT_FALSE(run.folder.Has("ClassTable_A.lua"));
  EXPECT_EQ(run.folder.Read("ClassType.lua.bak"), "-- the earlier script\r\n");

  WholeRun first;
  RunOn(first, WithPrelude(kOneRecord));
  EXPECT_FALSE(first.folder.Has("ClassType.lua.bak")) << "no earlier script, no backup";
}

TEST(DriverTest, TwoRunsOverTheSameInputAgree) {
  WholeRun first, second;
  RunOn(first, WithPrelude("type TX = record a: Byte; end;"));
  RunOn(second, WithPrelude("type TX = record a: Byte; end;"));
  EXPECT_EQ(first.ui.log, second.ui.log);
  for (const char* name : kOutputs) EXPECT_EQ(first.folder.Read(name), second.folder.Read(name)) << name;
}

TEST(DriverTest, AMissingInputEndsTheRunWithAMessageNamingTheFile) {
  WholeRun run;
  run.outcome = RunConversion(run.ui, run.folder.path());
  EXPECT_EQ(run.outcome, RunOutcome::kFileError);
  ASSERT_EQ(run.ui.messages.size(), 1u);
  EXPECT_EQ(run.ui.messages[0].icon, MessageIcon::kError);
  EXPECT_NE(run.ui.messages[0].text.find("ClassTable.txt"), std::string::npos);
  EXPECT_EQ(run.ui.log.size(), 2u);
  EXPECT_TRUE(run.ui.stages.empty());
  EXPECT_EQ(run.ui.runs_ended, 1);
}

TEST(DriverTest, AFileThatCannotBeReplacedEndsTheRunAtItsSave) {
  WholeRun run;
  // A folder standing where ClassTable_B.lua belongs cannot be replaced by a file.
  std::filesystem::create_directory(run.folder.path() / "ClassTable_B.lua");
  RunOn(run, WithPrelude(kOneRecord));
  EXPECT_EQ(run.outcome, RunOutcome::kFileError);
  EXPECT_EQ(run.ui.stages.size(), 10u);
  ASSERT_FALSE(run.ui.messages.empty());
  EXPECT_EQ(run.ui.messages.back().icon, MessageIcon::kError);
  EXPECT_NE(run.ui.messages.back().text.find("ClassTable_B.lua"), std::string::npos);
  EXPECT_NE(run.ui.log.back().find("ClassTable_B.lua"), std::string::npos);
  EXPECT_FALSE(run.folder.Has("ClassTable_C.lua"));
  EXPECT_EQ(run.ui.runs_ended, 1);
}

TEST(DriverTest, AUtf8InputWithAByteOrderMarkIsConvertedToGbk) {
  WholeRun run;
  RunOn(run, "\xEF\xBB\xBF" + GbkToUtf8(WithPrelude("")) + "const S = '中文';\r\n");
  EXPECT_EQ(run.outcome, RunOutcome::kSucceeded);
  ASSERT_GE(run.ui.log.size(), 2u);
  EXPECT_EQ(run.ui.log[1], Gbk(texts::kUtf8InputConverted));
  // The input shown is the GBK text, without the mark.
  ASSERT_EQ(run.ui.shown.size(), 1u);
  EXPECT_EQ(run.ui.shown[0].front(), SplitLines(ReadPrelude(kPreludeResource)).front());
  EXPECT_EQ(run.ui.shown[0].back(), Gbk("const S = '中文';"));
}

TEST(DriverTest, AUtf8CharacterThatGbkLacksStopsTheRunNamingItsLine) {
  WholeRun run;
  RunOn(run, "\xEF\xBB\xBF" "const A = 1;\r\nconst S = '\xF0\x9F\x98\x80';\r\n");
  EXPECT_EQ(run.outcome, RunOutcome::kFileError);
  ASSERT_EQ(run.ui.messages.size(), 1u);
  EXPECT_EQ(run.ui.messages[0].text, Gbk(texts::kUtf8LineNotGbkHead) + "2" + Gbk(texts::kUtf8LineNotGbkTail));
  EXPECT_TRUE(run.ui.stages.empty());
  EXPECT_FALSE(run.folder.Has("ClassTable_B.lua"));
}

// Writes nothing itself; notes every change a run makes to its files.
class JournalStore : public MemoryStore {
 public:
  bool Save(std::string_view name, const LineList& lines, std::string& error) override {
    journal.push_back("save " + std::string(name));
    return MemoryStore::Save(name, lines, error);
  }
  bool Remove(std::string_view name, std::string& error) override {
    journal.push_back("remove " + std::string(name));
    return MemoryStore::Remove(name, error);
  }
  bool KeepCopy(std::string_view name, std::string_view copy, std::string& error) override {
    journal.push_back("copy " + std::string(name) + " " + std::string(copy));
    return MemoryStore::KeepCopy(name, copy, error);
  }
  std::vector<std::string> journal;
};

// ClassType.lua comes last, so that a run stopped anywhere before leaves
// the script of the run before; the nesting report of an earlier input
// goes as soon as this one passes the check.
TEST(DriverTest, WritesTheScriptLastAfterKeepingTheEarlierOne) {
  testing::RecordingFrontEnd ui;
  JournalStore files;
  files.files["ClassTable.txt"] = WithPrelude(kOneRecord);
  ASSERT_EQ(RunConversion(ui, files), RunOutcome::kSucceeded);
  EXPECT_EQ(files.journal, (std::vector<std::string>{"remove ClassTable_A.lua", "save ClassTable_B.lua",
                                                     "save ClassTable_C.lua", "save ClassTable_D.lua",
                                                     "save ClassTable_E.lua", "save ClassTable_F.lua",
                                                     "copy ClassType.lua ClassType.lua.bak", "save ClassType.lua"}));
}

TEST(DriverTest, ARunInAFolderClearsOnlyWhatKilledRunsLeft) {
  WholeRun run;
  for (const char* name : {"ClassType.lua.tmp-a1B2c3", "ClassTable_E.lua.tmp-zzzzzz", "ClassTable.txt.tmp-Q0w9e8",
                           "Notes.txt.tmp-a1B2c3", "ClassType.lua.tmp-a1"})
    run.folder.Write(name, "left");
  RunOn(run, WithPrelude(kOneRecord));
  EXPECT_EQ(run.outcome, RunOutcome::kSucceeded);
  EXPECT_FALSE(run.folder.Has("ClassType.lua.tmp-a1B2c3"));
  EXPECT_FALSE(run.folder.Has("ClassTable_E.lua.tmp-zzzzzz"));
  EXPECT_FALSE(run.folder.Has("ClassTable.txt.tmp-Q0w9e8"));
  EXPECT_TRUE(run.folder.Has("Notes.txt.tmp-a1B2c3"));
  EXPECT_TRUE(run.folder.Has("ClassType.lua.tmp-a1"));
}

TEST(DriverTest, AnAbandonedRunStopsAtTheReportAndWritesNothingLater) {
  WholeRun run;
  run.ui.abandon_after = 12;  // the twelfth report (saving ClassTable_C.lua) says stop
  RunOn(run, WithPrelude(kOneRecord));
  EXPECT_EQ(run.outcome, RunOutcome::kAbandoned);
  EXPECT_EQ(run.ui.stages.size(), 12u);
  EXPECT_TRUE(run.folder.Has("ClassTable_B.lua"));
  EXPECT_FALSE(run.folder.Has("ClassTable_C.lua"));
  EXPECT_TRUE(run.ui.messages.empty());
  EXPECT_EQ(run.ui.runs_ended, 1);
}

TEST(DriverTest, ListsEveryProblemWithTheInputLineOfItsDeclaration) {
  WholeRun run;
  RunOn(run, WithPrelude("type\n  TA = record\n    a: X_12;\n  end;\n  TB = record b: TMissing; end;\n"));
  ASSERT_EQ(run.outcome, RunOutcome::kFailed);
  const auto first = static_cast<LineOrigin>(testing::FirstDeclarationLine());
  const LineOrigin ta = first + 1, tb = first + 4;
  auto has = [&](ProblemKind kind, const std::string& text, LineOrigin line) {
    for (const auto& p : run.ui.problems)
      if (p.kind == kind && p.text == text && p.line == line) return true;
    return false;
  };
  EXPECT_TRUE(has(ProblemKind::kFailure, Gbk("数值判断过程异常 'X_12'"), ta));
  EXPECT_TRUE(has(ProblemKind::kFailure, Gbk("结构内部偏移量生成不完整！"), tb));
  // Each structure the layout could not finish is left out of the script,
  // with the member it stopped at, as declared.
  EXPECT_TRUE(has(ProblemKind::kLeftOut, Gbk("结构 TA 已略去：成员 a 未知数据类型: \"X_12\""), ta));
  EXPECT_TRUE(has(ProblemKind::kLeftOut, Gbk("结构 TB 已略去：成员 b 未知数据类型: \"TMissing\""), tb));
  // The log keeps its texts and names the input line after them.
  const std::string where = "（ClassTable.txt 第 " + std::to_string(tb) + " 行）";
  bool named = false;
  for (const auto& line : run.ui.LogUtf8())
    if (line.starts_with("--------------------失败行号= ") && line.ends_with(where)) named = true;
  EXPECT_TRUE(named);
}

TEST(DriverTest, TellsTheProgressOfEveryStageAndLayoutCycle) {
  WholeRun run;
  RunOn(run, WithPrelude("type TX = record a: Byte; end;"));
  std::vector<size_t> stages;
  size_t cycles = 0;
  for (const RunProgress& p : run.ui.progress) {
    EXPECT_EQ(p.stages, 35u);
    if (p.cycle == 0) stages.push_back(p.stage);
    if (p.cycle != 0) {
      EXPECT_EQ(p.stage, 17u);
      EXPECT_EQ(p.cycle, ++cycles);
      EXPECT_EQ(stages.back(), 17u);  // within the layout stage
    }
  }
  ASSERT_EQ(stages.size(), 35u);
  for (size_t i = 0; i < stages.size(); ++i) EXPECT_EQ(stages[i], i + 1);
  EXPECT_GE(cycles, 1u);
}

// Raises the stop flag at one stage report, as a Stop press during a pause,
// or a moment after it, as a press while that stage runs.
class StoppingFrontEnd : public testing::RecordingFrontEnd {
 public:
  ~StoppingFrontEnd() override { Join(); }
  bool StageReport(const LineList& list, std::string_view message) override {
    bool go_on = RecordingFrontEnd::StageReport(list, message);
    if (stages.size() == stop_at) {
      stopper_ = std::thread([this] {
        std::this_thread::sleep_for(stop_delay);
        requested = std::chrono::steady_clock::now();
        flag.Request();
      });
      if (stop_delay.count() == 0) Join();
    }
    return go_on;
  }
  void Join() {
    if (stopper_.joinable()) stopper_.join();
  }

  size_t stop_at = 0;
  std::chrono::milliseconds stop_delay{0};
  std::chrono::steady_clock::time_point requested;
  StopFlag flag;

 private:
  std::thread stopper_;
};

TEST(DriverTest, AStoppedRunSaysSoAndKeepsTheFilesSavedBefore) {
  testing::TempFolder folder;
  folder.Write("ClassTable.txt", WithPrelude("type TX = record a: Byte; end;"));
  StoppingFrontEnd ui;
  ui.stop_at = 12;  // before saving ClassTable_C.lua
  ScopedStopFlag installed(&ui.flag);
  EXPECT_EQ(RunConversion(ui, folder.path()), RunOutcome::kStopped);
  EXPECT_EQ(ui.stages.size(), 12u);
  EXPECT_TRUE(folder.Has("ClassTable_B.lua"));
  EXPECT_FALSE(folder.Has("ClassTable_C.lua"));
  EXPECT_EQ(ui.log.back(), Gbk(texts::kRunStoppedLog));
  EXPECT_TRUE(ui.messages.empty());
  EXPECT_EQ(ui.runs_ended, 1);
}

// Shapes whose stages each take long: a record of many fields on one line,
// and many records on one line. A stop requested a moment after a long
// stage has begun ends the run well within a second.
TEST(DriverTest, AStopEndsALongStageAtOnce) {
  std::string wide = "type TWide = record";
  for (int i = 0; i < 30000; ++i) wide += " f" + std::to_string(i) + ": Integer;";
  wide += " end;";
  std::string one_line = "type";
  for (int i = 0; i < 6000; ++i)
    one_line += " T" + std::to_string(i) + " = record a: Integer; b: array[0.." + std::to_string(i % 7) + "] of Word; end;";
  using Clock = std::chrono::steady_clock;
  struct Case {
    const std::string* input;
    size_t stage;
  };
  for (Case c : {Case{&wide, 5}, Case{&wide, 17}, Case{&wide, 26}, Case{&one_line, 5}, Case{&one_line, 17}}) {
    testing::TempFolder folder;
    folder.Write("ClassTable.txt", WithPrelude(*c.input));
    StoppingFrontEnd ui;
    ui.record_lists = false;
    ui.stop_at = c.stage;
    ui.stop_delay = std::chrono::milliseconds(30);
    RunOutcome outcome;
    {
      ScopedStopFlag installed(&ui.flag);
      outcome = RunConversion(ui, folder.path());
    }
    Clock::time_point ended = Clock::now();
    ui.Join();
    ASSERT_EQ(outcome, RunOutcome::kStopped);
    auto latency = std::chrono::duration_cast<std::chrono::milliseconds>(ended - ui.requested).count();
    EXPECT_LT(latency, 300) << "stopped in stage " << c.stage;
  }
}

}  // namespace
}  // namespace ct
