#include "pipeline/driver.h"

#include <gtest/gtest.h>

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

TEST(DriverTest, WritesEveryIntermediateFileButNoNestingReport) {
  WholeRun run;
  run.folder.Write("ClassTable_A.lua", "from an earlier run\r\n");
  RunOn(run, WithPrelude(kOneRecord));
  for (const char* name : kOutputs) EXPECT_TRUE(run.folder.Has(name)) << name;
  EXPECT_EQ(run.folder.Read("ClassTable_A.lua"), "from an earlier run\r\n");
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

}  // namespace
}  // namespace ct
