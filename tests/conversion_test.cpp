// Whole conversions from a ClassTable.txt: what the intermediate files hold
// after the size, evaluation and layout stages, and what ClassType.lua holds
// for the declarations a host really has.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "pipeline/texts.h"
#include "resources/prelude.h"
#include "tests/support/lua_check.h"
#include "tests/support/run_folder.h"
#include "text/gbk.h"
#include "text/scan.h"

namespace ct::testing {
namespace {

using Lines = std::vector<std::string>;

// The first line of a file that declares `name` (" name = ...").
std::string Declaration(const Lines& lines, const std::string& name) {
  for (const auto& line : lines)
    if (line.rfind(" " + name + " = ", 0) == 0) return line;
  return "(no line declares " + name + ")";
}

// A table of ClassType.lua: its header line up to its closing "}".
Lines Table(const Lines& lines, const std::string& name) {
  auto header = std::find(lines.begin(), lines.end(), " " + name + " = { ");
  if (header == lines.end()) return {"(no table " + name + ")"};
  auto close = std::find(header, lines.end(), "}");
  return Lines(header, close == lines.end() ? close : close + 1);
}

// The entry of a member in ClassType.lua without its offset: "- 1 , vt_Integer".
std::string EntryType(const Lines& lines, const std::string& member) {
  for (const auto& line : lines) {
    if (line.rfind("\t" + member + " = { ", 0) != 0) continue;
    Pos comma = FindChar(line, ',', 1);
    Pos close = FindCharInRange(line, '}', Len(line), 1);
    return Trim(Slice(line, comma + 1, close - 1));
  }
  return "(no member " + member + ")";
}

// The bundled example's declarations, as a user appends them to the prelude.
std::string BundledExample() { return ReadFile(std::filesystem::path(CLASSTABLE_SOURCE_DIR) / "examples/GameHost.pas"); }

WholeRun& Converted(WholeRun& run, const std::string& declarations) {
  RunOn(run, WithPrelude(declarations));
  return run;
}

TEST(ConversionRun, SizesMergeAndReferencesGiveTheNumbersOfEachMember) {
  WholeRun run;
  RunOn(run, CrLf("const\n  Longint = 4;\n  Integer = 4;\n  Pointer = 4;\ntype\n"
                  "  TPoint = packed record\n    X: Longint;\n    Y: Longint;\n  end;\n"
                  "  TItem = class(TObject)\n    FName: String[20];\n    A, B: Integer;\n"
                  "    FOnChange: procedure;\n    FFlags: set of (f1, f2, f3);\n  end;\n"
                  "  TObject = class\n  end;\n"));
  Lines d = run.folder.Lines("ClassTable_D.lua");
  EXPECT_EQ(Declaration(d, "TPoint"), " TPoint = packed { X : 4 ; Y : 4 ; } ; ");
  EXPECT_EQ(Declaration(d, "TItem"), " TItem = { FName : 1_21 ; A : 4 ; B : 4 ; FOnChange : 4 ; FFlags : 1 ; } ; ");
  EXPECT_EQ(Declaration(d, "TObject"), " TObject = { Vmt : 4 ; } ; ");
  EXPECT_EQ(d.back(), " setmetatable ( TItem , TObject ) ; ");
}

TEST(ConversionRun, ExpressionsEvaluateByPassOrderWithoutPrecedence) {
  WholeRun run;
  Converted(run,
            "const\n  N = 10;\n  M = N * 2;\n  A = 10 - 2 + 3;\n  B = 8 div 2 * 2;\n  C = 7 div 2;\n"
            "  D = (2 + 3) * 4;\n  E = 2 * 3 * 4;\n  F = 2 * 5 * 4;\n");
  Lines e = run.folder.Lines("ClassTable_E.lua");
  // The layout completes in its first cycle here, so each definition shows
  // what one evaluation pass makes of it.
  struct Case {
    const char* name;
    const char* line;
  } cases[] = {{"M", " M = 20 ; "},    {"A", " A = 5 ; "},     {"B", " B = 2 ; "}, {"C", " C = 3 ; "},
               {"D", " D = 5 * 4 ; "}, {"E", " E = 6 * 4 ; "}, {"F", " F = 40 ; "}};
  for (const auto& c : cases) EXPECT_EQ(Declaration(e, c.name), c.line);
  EXPECT_EQ(run.outcome, RunOutcome::kSucceeded);
}

TEST(ConversionRun, StructuresLayOutWithTheirSizeFields) {
  WholeRun run;
  Converted(run,
            "type\n"
            "  TP = packed record a: Byte; b: Integer; end;\n"
            "  TR = record a: Byte; b: Integer; end;\n"
            "  TB = record a: Byte; end;\n"
            "  TL = record a: Int64; b: Byte; end;\n"
            "  TOuter = record c: Byte; r: TR; end;\n"
            "  TA = record n: Word; arr: array[0..9] of Integer; end;\n"
            "  TS = record b: Byte; s: ShortString; i: Integer; end;\n"
            "  TM = record x: array[0..3, 0..1] of Word; y: Byte; end;\n"
            "  TQ = record a: array[0..2] of TLate; end;\n"
            "  TLate = record x, y: Word; end;\n"
            "const K = 3;\n"
            "type TK = record a: array[1..K] of Byte; b: Int64; end;\n");
  Lines e = run.folder.Lines("ClassTable_E.lua");
  struct Case {
    const char* name;
    const char* line;
  } cases[] = {
      {"TP", " TP = { nWholeSize : 5 ; nAddSize : 5 ; nMaxSize : 1 ; a : 0 ; b : 1 ; } ; "},
      {"TR", " TR = { nWholeSize : 8 ; nAddSize : 8 ; nMaxSize : 4 ; a : 0 ; b : 4 ; } ; "},
      {"TB", " TB = { nWholeSize : 4 ; nAddSize : 1 ; nMaxSize : 1 ; a : 0 ; } ; "},
      {"TL", " TL = { nWholeSize : 12 ; nAddSize : 9 ; nMaxSize : 8 ; a : 0 ; b : 8 ; } ; "},
      {"TOuter", " TOuter = { nWholeSize : 12 ; nAddSize : 12 ; nMaxSize : 4 ; c : 0 ; r : 4 ; } ; "},
      {"TA", " TA = { nWholeSize : 44 ; nAddSize : 44 ; nMaxSize : 4 ; n : 0 ; arr : 4 ; } ; "},
      {"TS", " TS = { nWholeSize : 264 ; nAddSize : 264 ; nMaxSize : 4 ; b : 0 ; s : 1 ; i : 260 ; } ; "},
      // Field names keep their own spelling, whatever other tables call theirs.
      {"TM", " TM = { nWholeSize : 20 ; nAddSize : 17 ; nMaxSize : 2 ; x : 0 ; y : 16 ; } ; "},
      {"TQ", " TQ = { nWholeSize : 12 ; nAddSize : 12 ; nMaxSize : 2 ; a : 0 ; } ; "},
      {"TK", " TK = { nWholeSize : 16 ; nAddSize : 16 ; nMaxSize : 8 ; a : 0 ; b : 8 ; } ; "},
  };
  for (const auto& c : cases) EXPECT_EQ(Declaration(e, c.name), c.line);
  EXPECT_EQ(e.back(), Gbk(texts::kLayoutSucceededLine));
  EXPECT_EQ(run.outcome, RunOutcome::kSucceeded);
}

TEST(ConversionRun, DerivedClassesCarryTheirParentsMembers) {
  WholeRun run;
  Converted(run,
            "type\n  TBase = class\n    FCount: Integer;\n  end;\n"
            "  TItem = record\n    X: Word;\n    P: PInteger;\n  end;\n"
            "  TDerived = class(TBase)\n    FItem: TItem;\n  end;\n");
  ASSERT_EQ(run.outcome, RunOutcome::kSucceeded);
  Lines out = run.folder.Lines("ClassType.lua");
  EXPECT_EQ(Table(out, "TBase"),
            (Lines{" TBase = { ", "\tVmt = { 0 , vt_Pointer } , ", "\tFCount = { 4 , vt_Integer } , ", "}"}));
  EXPECT_EQ(Table(out, "TItem"),
            (Lines{" TItem = { ", "\tX = { 0 , vt_Word } , ", "\tP = { 4 , - 1 , vt_Integer } , ", "}"}));
  EXPECT_EQ(Table(out, "TDerived"), (Lines{" TDerived = { ", "\tVmt = { 0 , vt_Pointer } , ",
                                           "\tFCount = { 4 , vt_Integer } , ", "\tFItem = { 8 , TItem } , ", "}"}));
  Lines bindings;
  for (const auto& line : out)
    if (line.find(".__") != std::string::npos) bindings.push_back(line);
  ASSERT_GE(bindings.size(), 6u);
  EXPECT_EQ(Lines(bindings.end() - 6, bindings.end()), (Lines{" TBase.__index = BindGet ", " TBase.__newindex = BindSet ", " TItem.__index = BindGet ",
                         " TItem.__newindex = BindSet ", " TDerived.__index = BindGet ",
                         " TDerived.__newindex = BindSet "}));
  // Every line ends with CR LF, the last one included.
  std::string bytes = run.folder.Read("ClassType.lua");
  EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
  EXPECT_EQ(std::count(bytes.begin(), bytes.end(), '\n'), std::count(bytes.begin(), bytes.end(), '\r'));
}

TEST(ConversionRun, EveryKindOfMemberGetsItsDescriptor) {
  WholeRun run;
  Converted(run,
            "type\n"
            "  TNameType = (ntFirst, ntSecond, ntThird);\n"
            "  TProc = procedure;\n"
            "  TKinds = record\n"
            "    I: Integer;\n    H: THandle;\n    PI: PInteger;\n    PP: ^PInteger;\n    R: TRect;\n"
            "    FA: array[0..3] of Integer;\n    RA: array[0..3] of TRect;\n    DA: array of TRect;\n"
            "    S: String[20];\n    SA: array[1..4] of String[20];\n    E: TNameType;\n"
            "    SD: TStringsDefined;\n    Pr: TProc;\n    C: TStrings;\n    PC: PPChar;\n"
            "    DI: array of Integer;\n    DS: array of String[20];\n    AP: array[0..3] of PInteger;\n"
            "  end;\n");
  ASSERT_EQ(run.outcome, RunOutcome::kSucceeded);
  Lines out = run.folder.Lines("ClassType.lua");
  struct Case {
    const char* member;
    const char* type;
  } cases[] = {
      {"I", "vt_Integer"},          {"H", "vt_Longword"},
      {"PI", "- 1 , vt_Integer"},   {"PP", "- 2 , vt_Integer"},
      {"R", "TRect"},               {"FA", "4 , vt_Integer"},
      {"RA", "16 , TRect"},         {"DA", "- 1 , 16 , TRect"},
      {"S", "vt_ShortString"},      {"SA", "21 , vt_ShortString"},
      {"E", "vt_Byte"},             {"SD", "vt_Byte"},
      {"Pr", "vt_Procedure"},       {"C", "- 1 , TStrings"},
      {"PC", "- 1 , vt_PChar"},     {"DI", "- 1 , 4 , vt_Integer"},
      {"DS", "- 1 , 21 , vt_ShortString"}, {"AP", "4 , - 1 , vt_Integer"},
  };
  for (const auto& c : cases) EXPECT_EQ(EntryType(out, c.member), c.type) << c.member;
  EXPECT_EQ(CheckClassTypeLua(run.folder.Read("ClassType.lua")), Lines{});
}

TEST(ConversionRun, MembersNamedLikeLuaKeywordsStillLoad) {
  WholeRun run;
  Converted(run, "type\n  TKw = record\n    local: Integer;\n    return: ^TKw;\n    x: Byte;\n  end;\n");
  ASSERT_EQ(run.outcome, RunOutcome::kSucceeded);
  Lines out = run.folder.Lines("ClassType.lua");
  // Loosening spaces the brackets out; x keeps its spelling beside the
  // prelude's TPoint.X.
  EXPECT_EQ(Table(out, "TKw"), (Lines{" TKw = { ", "\t [ \"local\" ] = { 0 , vt_Integer } , ",
                                      "\t [ \"return\" ] = { 4 , - 1 , TKw } , ", "\tx = { 8 , vt_Byte } , ", "}"}));
  EXPECT_EQ(CheckClassTypeLua(run.folder.Read("ClassType.lua")), Lines{});
}

TEST(ConversionRun, MembersSpeltBeyondAsciiStillLoad) {
  // 名字 points to its own record, so it also gets a late-reference line; the second
  // byte of 乗 is a backslash, which must reach Lua as part of the name.
  const std::string name = "\xc3\xfb\xd7\xd6";
  const std::string backslashed = "\x81\x5c";
  WholeRun run;
  Converted(run, "type\n  TGbk = record\n    " + name + ": ^TGbk;\n    " + backslashed + ": Byte;\n  end;\n");
  ASSERT_EQ(run.outcome, RunOutcome::kSucceeded);
  Lines out = run.folder.Lines("ClassType.lua");
  EXPECT_EQ(Table(out, "TGbk"), (Lines{" TGbk = { ", "\t [ \"" + name + "\" ] = { 0 , - 1 , TGbk } , ",
                                       "\t [ \"" + backslashed + "\\\" ] = { 4 , vt_Byte } , ", "}"}));
  EXPECT_EQ(out.back(), " TGbk [ \"" + name + "\" ] [ 3 ] = TGbk ");
  EXPECT_EQ(CheckClassTypeLua(run.folder.Read("ClassType.lua")), Lines{});
}

TEST(ConversionRun, DeclarationsThatNameTypeCodesStayLua) {
  // OLE headers name their constants VT_...: every line mentioning a code
  // is kept for the script, so each must be one Lua reads.
  WholeRun run;
  Converted(run,
            "const\n  VT_ILLEGAL = $FFFF;\n  VT_ARRAY = $2000;\n  vt_Name = 'x y';\n  VT_ALIAS = VT_ARRAY;\n"
            "type\n  TVT_Kind = (vt_a, vt_b);\n  PVT_Info = ^TVT_Info;\n  TVT_Info = record k: TVT_Kind; end;\n");
  ASSERT_EQ(run.outcome, RunOutcome::kSucceeded);
  Lines out = run.folder.Lines("ClassType.lua");
  Lines constants;
  for (const std::string& line : out)
    if (line.find("VT_") != std::string::npos || line.find("vt_Name") != std::string::npos) constants.push_back(line);
  EXPECT_EQ(constants, (Lines{" VT_ILLEGAL = 65535 ", " VT_ARRAY = 8192 ", " vt_Name = \"x y\" ",
                              " VT_ALIAS = VT_ARRAY ", " TVT_Info = { ", " TVT_Info.__index = BindGet ",
                              " TVT_Info.__newindex = BindSet "}));
  EXPECT_EQ(CheckClassTypeLua(run.folder.Read("ClassType.lua")), Lines{});
}

TEST(ConversionRun, ThePreludeAndOneRecordConvertCleanly) {
  WholeRun run;
  RunOn(run, WithPrelude(kOneRecord));
  EXPECT_EQ(run.outcome, RunOutcome::kSucceeded);
  EXPECT_EQ(run.ui.log.size(), 37u);
  EXPECT_EQ(run.ui.log.front(), Gbk(texts::kStartCreating));
  EXPECT_EQ(run.ui.log.back(), Gbk(texts::kSucceededLog));
  ASSERT_EQ(run.ui.messages.size(), 1u);  // the success box, nothing else
  Lines out = run.folder.Lines("ClassType.lua");
  ASSERT_GE(out.size(), 58u);
  EXPECT_EQ(out[0], " vt_Integer = 1 ");
  EXPECT_EQ(out[57], " vt_Procedure = 58 ");
  EXPECT_EQ(CheckClassTypeLua(run.folder.Read("ClassType.lua")), Lines{});
}

// A run with nothing to convert would replace the last good script with
// the prelude's alone: the earlier files stay, and the log says why.
TEST(ConversionRun, AnInputWithoutDeclarationsKeepsTheEarlierResults) {
  const struct {
    const char* name;
    std::string input;
  } cases[] = {
      {"empty", ""},
      {"blank lines", "\r\n  \t\r\n"},
      {"the prelude alone", WithPrelude("")},
      {"the prelude and blank lines", WithPrelude("\n   \n")},
      {"the prelude saved without line ends", ReadPrelude(kPreludeResource)},
  };
  for (const auto& c : cases) {
    WholeRun run;
    run.folder.Write("ClassType.lua", "-- earlier\r\n");
    run.folder.Write("ClassTable_B.lua", "-- earlier\r\n");
    RunOn(run, c.input);
    EXPECT_EQ(run.outcome, RunOutcome::kFailed) << c.name;
    EXPECT_EQ(run.folder.Read("ClassType.lua"), "-- earlier\r\n") << c.name;
    EXPECT_EQ(run.folder.Read("ClassTable_B.lua"), "-- earlier\r\n") << c.name;
    EXPECT_FALSE(run.folder.Has("ClassTable_C.lua")) << c.name;
    EXPECT_TRUE(run.ui.stages.empty()) << c.name;
    EXPECT_TRUE(run.ui.Logged({Gbk(texts::kNoDeclarations)})) << c.name;
    EXPECT_EQ(run.ui.log.back(), Gbk(texts::kFailedLog)) << c.name;
  }
  WholeRun edited;
  RunOn(edited, WithPrelude("").replace(0, 2, "{}"));
  EXPECT_EQ(edited.outcome, RunOutcome::kSucceeded) << "an edited prelude is the user's declaration";
}

TEST(ConversionRun, TheBundledExampleLoadsIntoLua) {
  WholeRun run;
  RunOn(run, WithPrelude("") + BundledExample());
  ASSERT_EQ(run.outcome, RunOutcome::kSucceeded);
  EXPECT_EQ(CheckClassTypeLua(run.folder.Read("ClassType.lua")), Lines{});
  Lines out = run.folder.Lines("ClassType.lua");
  // A class's own members follow its parents', behind their whole size.
  EXPECT_EQ(EntryType(out, "m_nNotProcessCount").empty(), false);
  for (const char* table : {"TAbility", "TStdItem", "TUserItem", "TBaseObject", "TAnimalObject", "TPlayObject", "TGuild"})
    EXPECT_NE(Table(out, table).size(), 1u) << table;
}

TEST(ConversionRun, TwoRunsOverTheBundledExampleAgree) {
  WholeRun first, second;
  RunOn(first, WithPrelude("") + BundledExample());
  RunOn(second, WithPrelude("") + BundledExample());
  EXPECT_EQ(first.ui.log, second.ui.log);
  for (const char* name : {"ClassTable_B.lua", "ClassTable_C.lua", "ClassTable_D.lua", "ClassTable_E.lua",
                           "ClassTable_F.lua", "ClassType.lua"})
    EXPECT_EQ(first.folder.Read(name), second.folder.Read(name)) << name;
}

}  // namespace
}  // namespace ct::testing
