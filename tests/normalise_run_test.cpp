// Whole runs from a ClassTable.txt: the normalised text shown before the
// nesting check, the files written by the table rewrite, and the early end
// at a bracket fault, also through the command line.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "pipeline/texts.h"
#include "tests/support/program_run.h"
#include "tests/support/run_folder.h"
#include "text/gbk.h"
#include "text/paths.h"

namespace ct::testing {
namespace {

using Lines = std::vector<std::string>;

// The list shown with the report of the given stage (1-based).
Lines ShownAtStage(const WholeRun& run, size_t stage) {
  const std::string message = Gbk(texts::kStageMessages[stage - 1]);
  for (const StageEvent& event : run.ui.stages)
    if (event.message == message) return event.list;
  ADD_FAILURE() << "stage " << stage << " was not reported";
  return {};
}

// True when `block` stands in `lines` as consecutive lines.
bool HoldsBlock(const Lines& lines, const Lines& block) {
  return std::search(lines.begin(), lines.end(), block.begin(), block.end()) != lines.end();
}

Lines Tail(const Lines& lines, size_t count) {
  return Lines(lines.end() - static_cast<std::ptrdiff_t>(std::min(count, lines.size())), lines.end());
}

TEST(NormalisationRun, TypicalDeclarationsReachTheNestingCheckLoosened) {
  WholeRun run;
  RunOn(run, WithPrelude("type\n  TPoint = record\n    X, Y: Integer; // coords\n  end;\n"
                         "  TShape = class(TObject)\n  private\n    FOrigin: TPoint;\n    FNext: TShape;\n"
                         "  public\n    procedure Draw; virtual;\n  end;\n"));
  EXPECT_EQ(Tail(ShownAtStage(run, 8), 8),
            (Lines{" type ", " TPoint = record ", " X , Y : Integer ; ", " end ; ", " TShape = class ( TObject ) ",
                   " FOrigin : TPoint ; ", " FNext : ^TShape ; ", " end ; "}));
}

TEST(NormalisationRun, RewriteWritesTablesAndTheReferenceList) {
  WholeRun run;
  RunOn(run, WithPrelude("type\n  TPoint = packed record\n    X: Longint;\n    Y: Longint;\n  end;\n"
                         "  TItem = class(TObject)\n    FName: String[20];\n    A, B: Integer;\n"
                         "    FOnChange: procedure;\n    FFlags: set of (f1, f2, f3);\n  end;\n"
                         "  TObject = class\n  end;\n"));
  const Lines b = run.folder.Lines("ClassTable_B.lua");
  EXPECT_TRUE(HoldsBlock(b, {" TPoint = packed { ", " X : Longint ; ", " Y : Longint ; ", "} ; ", " TItem = { ",
                             " FName : String [ 20 ] ; ", " A , B : Integer ; ", " FOnChange : procedure ; ",
                             " FFlags : set of ( f1 , f2 , f3 ) ; ", "} ; ", " TObject = { Vmt : Pointer ;",
                             "} ; "}));
  EXPECT_EQ(Tail(b, 1), Lines{" setmetatable ( TItem , TObject ) ; "});
  const Lines c = run.folder.Lines("ClassTable_C.lua");
  EXPECT_TRUE(HoldsBlock(c, {" TPoint = packed { X : Longint ; Y : Longint ; } ; ",
                             " TItem = { FName : String [ 20 ] ; A , B : Integer ; FOnChange : procedure ; "
                             "FFlags : set of ( f1 , f2 , f3 ) ; } ; ",
                             " TObject = { Vmt : Pointer ; } ; "}));
  EXPECT_EQ(Tail(c, 1), Lines{" setmetatable ( TItem , TObject ) ; "});
}

// Forms that used to leave a table open or open one from a literal: every
// declaration after them must still get a line of its own.
TEST(NormalisationRun, OneLineFormsAndLiteralsKeepTheReferenceListInStep) {
  WholeRun run;
  RunOn(run, WithPrelude("const\n  SText = 'Press { to begin';\n  SPath = 'C:\\Temp\\';\n"
                         "type\n  TOne = record a: Byte; end;\n  TTwo = class(TOne) b: Integer; end;\n"
                         "  TEmpty = class end;\n"
                         "  TOldInfo = record\n    info: Integer;\n  end deprecated 'Use TNewInfo instead';\n"
                         "  IFoo = interface(IUnknown)\n    ['{00000000-0000-0000-C000-000000000046}']\n  end;\n"
                         "  TLast = record\n    z: Word;\n  end;\n"));
  const Lines c = run.folder.Lines("ClassTable_C.lua");
  EXPECT_TRUE(HoldsBlock(c, {" SText = \"Press { to begin\" ; ", " SPath = \"C:\\\\Temp\\\\\" ; ", " ",
                             " TOne = { a : Byte ; } ; ", " TTwo = { b : Integer ; } ; ",
                             " TEmpty = { Vmt : Pointer ; } ; ", " TOldInfo = { info : Integer ; } ; ",
                             " IFoo = interface ; ", " TLast = { z : Word ; } ; "}));
  EXPECT_EQ(Tail(c, 1), Lines{" setmetatable ( TTwo , TOne ) ; "});
}

struct NestingRunCase {
  const char* name;
  const char* input;
  std::vector<std::string> log;  // UTF-8, after the stage-8 report
};

TEST(NormalisationRun, BracketFaultEndsTheRunWithItsReport) {
  const std::vector<NestingRunCase> cases = {
      // The count of joined lines skips comments and blank lines; the
      // input line after it is where an editor finds the fault.
      {"closing bracket without partner",
       "type\n  { note }\n  A = Integer;\n\n  B = (x, y));\n  C = Byte;\n",
       {"--------------------符号嵌套关系不匹配！！！！！！！！！！！！！！！！",
        "--------------------所在行数：[3]附近。（ClassTable.txt 第 5 行）",
        "--------------------符号位置：[9]", "--------------------所在字符串：\" B=(x,y))\"",
        "--------------------所在文本：ClassTable.txt"}},
      {"bracket left open at the end",
       "type\n  A = Integer;\n  P = procedure(x: Integer;\n  C = Byte;\n",
       {"--------------------符号没有闭合！！！！！！！！！！！！！！！！",
        "--------------------所在行数：[3]附近。（ClassTable.txt 第 3 行）",
        "--------------------符号位置：[13]", "--------------------所在字符串：\" P=procedure(\"",
        "--------------------所在文本：ClassTable.txt"}},
  };
  for (const auto& c : cases) {
    WholeRun run;
    run.folder.Write("ClassTable_B.lua", "earlier B\r\n");
    run.folder.Write("ClassTable_C.lua", "earlier C\r\n");
    RunOn(run, CrLf(c.input));
    EXPECT_EQ(run.outcome, RunOutcome::kStoppedAtNesting) << c.name;
    const Lines log = run.ui.LogUtf8();
    EXPECT_EQ(Tail(log, c.log.size()), c.log) << c.name;
    EXPECT_EQ(run.ui.stages.size(), 8u) << c.name;
    ASSERT_EQ(run.ui.messages.size(), 1u) << c.name;
    EXPECT_EQ(run.ui.messages[0].icon, MessageIcon::kError) << c.name;
    EXPECT_EQ(run.folder.Lines("ClassTable_A.lua"), (Lines{" type ", " A = Integer ; "})) << c.name;
    EXPECT_EQ(run.folder.Read("ClassTable_B.lua"), "earlier B\r\n") << c.name;
    EXPECT_EQ(run.folder.Read("ClassTable_C.lua"), "earlier C\r\n") << c.name;
    EXPECT_FALSE(run.folder.Has("ClassType.lua")) << c.name;
  }
}

TEST(NormalisationRun, CommandLineEndsWithNestingStatus) {
  for (const char* input : {"type\n  B = (x, y));\n", "type\n  B = [1, 2;\n"}) {
    TempFolder folder;
    folder.Write("ClassTable.txt", CrLf(input));
    EXPECT_EQ(RunProgram(CLASSTABLE_CLI, {"convert", PathText(folder.path())}).status, 2) << input;
    EXPECT_TRUE(folder.Has("ClassTable_A.lua")) << input;
    EXPECT_FALSE(folder.Has("ClassTable_B.lua")) << input;
  }
}

}  // namespace
}  // namespace ct::testing
