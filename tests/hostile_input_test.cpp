// Inputs nobody means to feed the tool, and folders that refuse its files:
// every run ends in one of its defined outcomes, says so, and never leaves a
// half-written file or loses an earlier one.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "pipeline/driver.h"
#include "pipeline/input_file.h"
#include "pipeline/texts.h"
#include "tests/support/generated_input.h"
#include "tests/support/lua_check.h"
#include "tests/support/refusing_path.h"
#include "tests/support/run_folder.h"
#include "text/gbk.h"
#include "text/scan.h"

namespace ct::testing {
namespace {

const char* const kResults[] = {"ClassTable_B.lua", "ClassTable_C.lua", "ClassTable_D.lua",
                                "ClassTable_E.lua", "ClassTable_F.lua", "ClassType.lua"};

// A few basic sizes and type codes, so that small inputs lay out without the
// whole prelude.
const std::string kMiniPrelude = "const vt_Integer = 1; vt_Byte = 7; Integer = 4; Byte = 1;\r\n";

// Reproducible bytes of every value.
std::string Junk(size_t size, std::uint32_t seed) {
  std::string bytes;
  for (size_t i = 0; i < size; ++i) {
    seed = seed * 1103515245u + 12345u;
    bytes.push_back(static_cast<char>(seed >> 16));
  }
  return bytes;
}

// Junk that passes the nesting check, so that every later stage meets it.
std::string WithoutBrackets(std::string bytes) {
  for (char& c : bytes)
    if (std::string_view("()[]{}*/").find(c) != std::string_view::npos) c = ' ';
  return bytes;
}

std::string Repeat(std::string_view part, size_t times) {
  std::string out;
  out.reserve(part.size() * times);
  for (size_t i = 0; i < times; ++i) out += part;
  return out;
}

bool LeftTemporaryFiles(const TempFolder& folder) {
  for (const auto& entry : std::filesystem::directory_iterator(folder.path()))
    if (entry.path().filename().string().find(".tmp-") != std::string::npos) return true;
  return false;
}

// What every run must leave, whatever its input: one end, the final message
// of its outcome, and no temporary file beside its results.
void ExpectOrderlyEnd(const WholeRun& run, RunOutcome expected, const std::string& name) {
  EXPECT_EQ(run.outcome, expected) << name;
  EXPECT_EQ(run.ui.runs_ended, 1) << name;
  EXPECT_FALSE(LeftTemporaryFiles(run.folder)) << name;
  ASSERT_FALSE(run.ui.messages.empty()) << name;
  const std::string& last = run.ui.messages.back().text;
  switch (run.outcome) {
    case RunOutcome::kSucceeded:
      EXPECT_EQ(last, Gbk(texts::kSucceededLabel)) << name;
      break;
    case RunOutcome::kFailed:
      EXPECT_EQ(last, Gbk(texts::kFailedBox)) << name;
      break;
    case RunOutcome::kStoppedAtNesting:
      EXPECT_TRUE(last == Gbk(texts::kMismatchBox) || last == Gbk(texts::kUnclosedBox)) << name;
      EXPECT_TRUE(run.folder.Has("ClassTable_A.lua")) << name;
      EXPECT_EQ(run.ui.stages.size(), 8u) << name;
      break;
    default:
      break;
  }
}

struct OutcomeCase {
  std::string name;
  std::string input;
  RunOutcome outcome;
};

TEST(HostileInput, EveryInputEndsWithTheMessageOfItsOutcome) {
  const std::vector<OutcomeCase> cases = {
      {"empty file", "", RunOutcome::kFailed},
      {"prelude alone", WithPrelude(""), RunOutcome::kFailed},
      {"binary junk", Junk(4096, 1), RunOutcome::kStoppedAtNesting},
      {"binary junk after the prelude", WithPrelude("") + Junk(4096, 2), RunOutcome::kStoppedAtNesting},
      {"junk without brackets or comments", WithoutBrackets(Junk(4096, 3)), RunOutcome::kFailed},
      {"nothing but zero bytes", std::string(4096, '\0'), RunOutcome::kFailed},
      {"round bracket left open", WithPrelude("const A = (1;"), RunOutcome::kStoppedAtNesting},
      {"round bracket closing nothing", WithPrelude("const A = 1);"), RunOutcome::kStoppedAtNesting},
      {"square bracket left open", WithPrelude("type T = array[0..3 of Byte;"), RunOutcome::kStoppedAtNesting},
      {"square bracket closing nothing", WithPrelude("const A = 1];"), RunOutcome::kStoppedAtNesting},
      {"brace comment left open", WithPrelude("type T = record a: Byte; { end;"), RunOutcome::kStoppedAtNesting},
      {"star comment left open", WithPrelude("(* type T = record a: Byte; end;"), RunOutcome::kStoppedAtNesting},
      {"brace closing nothing", WithPrelude("type T = record a: Byte; } end;"), RunOutcome::kStoppedAtNesting},
      {"star closer alone", WithPrelude("type T = record a: Byte; *) end;"), RunOutcome::kStoppedAtNesting},
  };
  for (const auto& c : cases) {
    WholeRun run;
    run.ui.record_lists = false;
    RunOn(run, c.input);
    ExpectOrderlyEnd(run, c.outcome, c.name);
  }
}

TEST(HostileInput, ACommentLeftOpenStopsTheRunNamingItsLineAndKeepsEarlierResults) {
  WholeRun run;
  run.folder.Write("ClassType.lua", "-- from an earlier run\r\n");
  RunOn(run, kMiniPrelude + "type TA = record a: Byte; end;\r\n\r\n  (* TB = record\r\nb: Byte; end;\r\n");
  ExpectOrderlyEnd(run, RunOutcome::kStoppedAtNesting, "star comment");
  EXPECT_EQ(run.ui.messages.back().text, Gbk(texts::kUnclosedBox));
  const std::vector<std::string> log(run.ui.log.end() - 5, run.ui.log.end());
  EXPECT_EQ(log, (std::vector<std::string>{
                     Gbk(texts::kUnclosedLog),
                     Gbk(texts::kNestingLineHead) + "4" + Gbk(texts::kNestingLineTail) + WhereInInput(4),
                     Gbk(texts::kNestingPositionHead) + "3" + Gbk(texts::kNestingPositionTail),
                     Gbk(texts::kNestingStatementHead) + "\"  (\"",
                     Gbk(texts::kNestingFileHead) + "ClassTable.txt",
                 }));
  EXPECT_EQ(run.folder.Read("ClassType.lua"), "-- from an earlier run\r\n");
}

TEST(HostileInput, EveryKindOfLineEndGivesTheSameFiles) {
  const std::string declarations = "type\nTA = packed record\n  a: Byte;\n  b: Integer;\nend;\n"
                                   "TB = class(TObject)\n  x: TA;\nend;\n";
  WholeRun crlf, lf, cr, mixed;
  RunOn(crlf, WithPrelude(declarations));
  RunOn(lf, ReplaceAll(WithPrelude(declarations), "\r\n", "\n"));
  RunOn(cr, ReplaceAll(WithPrelude(declarations), "\r\n", "\r"));
  std::string mixed_input = WithPrelude(declarations);
  mixed_input = ReplaceFirst(ReplaceFirst(mixed_input, "\r\n", "\n"), "\r\n", "\r");
  RunOn(mixed, mixed_input);
  ExpectOrderlyEnd(crlf, RunOutcome::kSucceeded, "CR LF");
  for (const WholeRun* other : {&lf, &cr, &mixed}) {
    ExpectOrderlyEnd(*other, RunOutcome::kSucceeded, "other line ends");
    for (const char* name : kResults) EXPECT_EQ(other->folder.Read(name), crlf.folder.Read(name)) << name;
  }
  EXPECT_NE(crlf.folder.Read("ClassType.lua").find(" TB = {"), std::string::npos);
}

TEST(HostileInput, GbkCharactersInNamesStringsAndCommentsKeepTheirBytes) {
  // Names are laid out like any other; a member spelt in GBK is a bracketed
  // key; literals keep their bytes; comments vanish whole, whatever bytes
  // their characters are made of (倉 ends in the byte of "}").
  WholeRun run;
  RunOn(run, WithPrelude(Gbk("const S = '汉字，标点。'; // 注释\n{ 说明：倉庫 }\n"
                             "type TCn = record 名字: Integer; b: Byte; 倉: Byte; end;")));
  ExpectOrderlyEnd(run, RunOutcome::kSucceeded, "GBK");
  EXPECT_NE(run.folder.Read("ClassTable_B.lua").find(Gbk(" S = \"汉字，标点。\" ; ")), std::string::npos);
  const std::string script = run.folder.Read("ClassType.lua");
  EXPECT_NE(script.find(Gbk(" TCn = { \r\n\t [ \"名字\" ] = { 0 , vt_Integer } , \r\n\tb = { 4 , vt_Byte } , \r\n"
                            "\t [ \"倉\" ] = { 5 , vt_Byte } , \r\n}")),
            std::string::npos);
  EXPECT_EQ(script.find(Gbk("注释")), std::string::npos);
  EXPECT_EQ(script.find(Gbk("说明")), std::string::npos);

  // A table is a global of the script, which Lua names in ASCII only: the
  // run says so and fails instead of writing a script Lua refuses.
  WholeRun table;
  RunOn(table, WithPrelude(Gbk("type T中文 = record a: Byte; end;")));
  ExpectOrderlyEnd(table, RunOutcome::kFailed, "GBK table");
  const std::vector<std::string> log = table.ui.LogUtf8();
  EXPECT_NE(std::find_if(log.begin(), log.end(),
                         [](const std::string& line) { return line.find("无法描述的类型：T中文") != std::string::npos; }),
            log.end());
}

// A structure Lua cannot name is laid out, but its table and every entry
// that names it stay out of the script, and the log says which and where.
TEST(HostileInput, ATypeNameLuaCannotTakeEndsInFailure) {
  const struct {
    const char* name;
    std::string type;
  } cases[] = {{"GBK", Gbk("T中文")}, {"NUL", std::string("T\0X", 3)}, {"Lua keyword", "until"},
               {"Lua library", "print"}};
  for (const auto& c : cases) {
    WholeRun run;
    const std::string input =
        WithPrelude("type " + c.type + " = record a: Integer; end;\nU = record p: " + c.type + "; end;");
    RunOn(run, input);
    ExpectOrderlyEnd(run, RunOutcome::kFailed, c.name);
    EXPECT_NE(run.folder.Read("ClassTable_E.lua").find(" " + c.type + " = { nWholeSize : 4 ;"), std::string::npos)
        << c.name;
    const std::string script = run.folder.Read("ClassType.lua");
    EXPECT_EQ(script.find(" " + c.type + " = {"), std::string::npos) << c.name;
    EXPECT_EQ(script.find("\tp = "), std::string::npos) << c.name;
    EXPECT_EQ(CheckClassTypeLua(script), std::vector<std::string>{}) << c.name;
    const std::string where = WhereInInput(static_cast<LineOrigin>(InputLineOf(input, "type " + c.type)));
    EXPECT_TRUE(run.ui.Logged({Gbk(texts::kLeftOutHead), where})) << c.name;
    EXPECT_TRUE(run.ui.Logged({Gbk(texts::kLeftOutHead), Gbk(texts::kReasonStructure) + "U"})) << c.name;
  }
}

// Inputs that once ended with the success message and a script a host
// could not trust: code that ran when the tables were loaded, members
// twice, structures that vanished. Each now either converts soundly or
// fails, naming the declaration and its line; what is written loads as data.
TEST(HostileInput, NoInputMakesTheScriptMoreThanData) {
  const struct {
    const char* name;
    std::string declarations;
    RunOutcome outcome;
    const char* named;  // the structure the log names, by the line it starts on
    std::string_view report;
  } cases[] = {
      {"a statement in a record", "type U = record\n a: Byte;\n os.execute\"touch x\";\n b: Byte;\nend;",
       RunOutcome::kFailed, "U = record", texts::kLeftOutHead},
      {"a comment a GBK character seemed to end",
       Gbk("type U = record\n a: Byte; { 倉 os.execute\"touch x\"; // }\n b: Byte;\nend;"), RunOutcome::kSucceeded,
       nullptr, {}},
      {"a class that inherits from itself", "type TA = class(TA)\n a: Integer;\nend;", RunOutcome::kFailed,
       "TA = class", texts::kInheritanceCycleTail},
      {"a class that inherits from its descendant",
       "type TA = class(TB) a: Integer; end;\nTB = class(TA)\n b: Integer;\nend;", RunOutcome::kFailed,
       "TB = class", texts::kInheritanceCycleTail},
      {"a record without end before the next", "type U = record\n a: Byte;\nV = record b: Byte; end;",
       RunOutcome::kFailed, "U = record", texts::kOpenStructureDeclaration},
      {"a record without end at the end", "type V = record b: Byte; end;\nU = record\n a: Byte;",
       RunOutcome::kFailed, "U = record", texts::kOpenStructureAtEnd},
  };
  for (const auto& c : cases) {
    WholeRun run;
    const std::string input = WithPrelude(c.declarations);
    RunOn(run, input);
    ExpectOrderlyEnd(run, c.outcome, c.name);
    EXPECT_EQ(CheckClassTypeLua(run.folder.Read("ClassType.lua")), std::vector<std::string>{}) << c.name;
    EXPECT_EQ(run.folder.Read("ClassType.lua").find("execute"), std::string::npos) << c.name;
    if (c.named == nullptr) continue;
    const std::string where = WhereInInput(static_cast<LineOrigin>(InputLineOf(input, c.named)));
    EXPECT_TRUE(run.ui.Logged({Gbk(c.report), where})) << c.name;
  }
}

TEST(HostileInput, OneLineOfAMegabyteEndsInTime) {
  // A literal of a megabyte keeps every byte; a megabyte of declarations on
  // one line is as many declarations, each laid out.
  const std::string literal = Repeat("0123456789abcdef", 1 << 16);
  WholeRun text_line;
  RunOn(text_line, "const S = '" + literal + "';");
  ExpectOrderlyEnd(text_line, RunOutcome::kSucceeded, "literal");
  EXPECT_NE(text_line.folder.Read("ClassTable_B.lua").find("\"" + literal + "\""), std::string::npos);

  WholeRun declarations;
  RunOn(declarations, kMiniPrelude + Repeat("type TA = record a: Integer; b: Byte; end; ", 1 << 14));
  ExpectOrderlyEnd(declarations, RunOutcome::kSucceeded, "declarations");
}

// Shapes that once took time growing with the square of their size: a record
// of many members (the layout's and the accessor format's edits of the whole
// line) and records each embedding the one declared after it (a layout pass
// per record).
TEST(HostileInput, WideRecordsAndLongChainsOfRecordsEndInTime) {
  const struct {
    const char* name;
    StressShape shape;
    size_t count;
  } cases[] = {{"a record of 20000 members", StressShape::kWideRecord, 20000},
               {"2000 records, each embedding the next", StressShape::kEmbeddersFirst, 2000}};
  for (const auto& c : cases) {
    WholeRun run;
    run.ui.record_lists = false;
    RunOn(run, GenerateStressInput(c.shape, c.count));
    ExpectOrderlyEnd(run, RunOutcome::kSucceeded, c.name);
    EXPECT_EQ(CheckClassTypeLua(run.folder.Read("ClassType.lua")), std::vector<std::string>{}) << c.name;
  }
}

TEST(HostileInput, AHundredThousandNestedBracketsEndInTime) {
  constexpr size_t kDepth = 100000;
  WholeRun round;
  RunOn(round, "const A = " + std::string(kDepth, '(') + "7" + std::string(kDepth, ')') + ";\r\n");
  ExpectOrderlyEnd(round, RunOutcome::kSucceeded, "round");
  EXPECT_EQ(round.folder.Lines("ClassTable_F.lua"), (std::vector<std::string>{" A = 7 ; "}));

  WholeRun square;
  RunOn(square, "const A = " + std::string(kDepth, '[') + std::string(kDepth, ']') + ";\r\n");
  ExpectOrderlyEnd(square, RunOutcome::kSucceeded, "square");

  // Braces are comments: the first "}" closes them all, the rest close nothing.
  WholeRun brace;
  RunOn(brace, "const A = " + std::string(kDepth, '{') + std::string(kDepth, '}') + ";\r\n");
  ExpectOrderlyEnd(brace, RunOutcome::kStoppedAtNesting, "brace");

  WholeRun open;
  RunOn(open, "const A = " + std::string(kDepth, '(') + "7;\r\n");
  ExpectOrderlyEnd(open, RunOutcome::kStoppedAtNesting, "open");
}

bool NamesFile(const std::string& text, std::string_view name) { return text.find(name) != std::string::npos; }

TEST(HostileInput, AFolderThatRefusesNewFilesEndsTheRunAtTheFirstSave) {
  WholeRun run;
  run.folder.Write("ClassTable.txt", WithPrelude(kOneRecord));
  run.folder.Write("ClassType.lua", "-- from an earlier run\r\n");
  {
    RefusingPath refusing(run.folder.path());
    if (!refusing.refuses()) GTEST_SKIP() << "this file system lets root write anywhere";
    run.outcome = RunConversion(run.ui, run.folder.path());
  }
  EXPECT_EQ(run.outcome, RunOutcome::kFileError);
  EXPECT_EQ(run.ui.stages.size(), 10u);
  ASSERT_FALSE(run.ui.messages.empty());
  EXPECT_EQ(run.ui.messages.back().icon, MessageIcon::kError);
  EXPECT_TRUE(NamesFile(run.ui.messages.back().text, "ClassTable_B.lua"));
  EXPECT_TRUE(NamesFile(run.ui.log.back(), "ClassTable_B.lua"));
  EXPECT_FALSE(run.folder.Has("ClassTable_B.lua"));
  EXPECT_EQ(run.folder.Read("ClassType.lua"), "-- from an earlier run\r\n");
  EXPECT_FALSE(LeftTemporaryFiles(run.folder));
  EXPECT_EQ(run.ui.runs_ended, 1);
}

TEST(HostileInput, AResultThatCannotBeReplacedKeepsItsBytes) {
  const std::string old = "-- from an earlier run\r\n";
  enum class Obstacle { kReadOnlyFile, kImmutableFile, kFolder };
  for (Obstacle obstacle : {Obstacle::kReadOnlyFile, Obstacle::kImmutableFile, Obstacle::kFolder}) {
    WholeRun run;
    run.ui.record_lists = false;
    run.folder.Write("ClassTable.txt", WithPrelude(kOneRecord));
    const std::filesystem::path result = run.folder.path() / "ClassType.lua";
    std::unique_ptr<RefusingPath> refusing;
    switch (obstacle) {
      case Obstacle::kReadOnlyFile:
        run.folder.Write("ClassType.lua", old);
        std::filesystem::permissions(result, std::filesystem::perms::owner_read);
        break;
      case Obstacle::kImmutableFile:
        run.folder.Write("ClassType.lua", old);
        refusing = std::make_unique<RefusingPath>(result);
        if (!refusing->refuses()) continue;
        break;
      case Obstacle::kFolder:
        std::filesystem::create_directory(result);
        break;
    }
    run.outcome = RunConversion(run.ui, run.folder.path());
    refusing.reset();
    const int which = static_cast<int>(obstacle);
    EXPECT_EQ(run.outcome, RunOutcome::kFileError) << which;
    EXPECT_EQ(run.ui.stages.size(), 35u) << which;
    ASSERT_FALSE(run.ui.messages.empty()) << which;
    EXPECT_TRUE(NamesFile(run.ui.messages.back().text, "ClassType.lua")) << which;
    if (obstacle != Obstacle::kFolder) {
      EXPECT_EQ(run.folder.Read("ClassType.lua"), old) << which;
    }
    for (const char* name : {"ClassTable_B.lua", "ClassTable_F.lua"}) EXPECT_TRUE(run.folder.Has(name)) << which;
    EXPECT_FALSE(LeftTemporaryFiles(run.folder)) << which;
  }
}

}  // namespace
}  // namespace ct::testing
