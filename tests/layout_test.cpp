#include "pipeline/layout/layout.h"
#include "pipeline/layout/structures.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pipeline/texts.h"
#include "tests/support/recording_front_end.h"
#include "text/gbk.h"

namespace ct::testing {
namespace {

// Lines are written without the space with which the loosened form begins
// and ends them.
std::string Loose(std::string_view shown) { return " " + std::string(shown) + " "; }

LineList LooseList(const std::vector<std::string>& shown) {
  LineList list;
  for (const std::string& line : shown) list.Add(Loose(line));
  return list;
}

struct Row {
  std::vector<std::string> lines;  // the list handed to the cycles
  size_t target;                   // the line whose result is checked
  const char* after;
};

TEST(RunLayoutCycles, LaysOutEveryStructureOfTheEdgeTable) {
  const std::string tr = "TR = { a : 1 ; b : 4 ; } ;";
  const std::string tlate = "TLate = { x : 2 ; y : 2 ; } ;";
  const std::vector<Row> rows = {
      {{"TP = packed { a : 1 ; b : 4 ; } ;"}, 0,
       "TP = { nWholeSize : 5 ; nAddSize : 5 ; nMaxSize : 1 ; a : 0 ; b : 1 ; } ;"},
      {{tr}, 0, "TR = { nWholeSize : 8 ; nAddSize : 8 ; nMaxSize : 4 ; a : 0 ; b : 4 ; } ;"},
      {{"TB = { a : 1 ; } ;"}, 0, "TB = { nWholeSize : 4 ; nAddSize : 1 ; nMaxSize : 1 ; a : 0 ; } ;"},
      {{"TL = { a : 8 ; b : 1 ; } ;"}, 0, "TL = { nWholeSize : 12 ; nAddSize : 9 ; nMaxSize : 8 ; a : 0 ; b : 8 ; } ;"},
      {{tr, "TOuter = { c : 1 ; r : TR ; } ;"}, 1,
       "TOuter = { nWholeSize : 12 ; nAddSize : 12 ; nMaxSize : 4 ; c : 0 ; r : 4 ; } ;"},
      {{"TA = { n : 2 ; arr : [ 0 .. 9 ] of 4 ; } ;"}, 0,
       "TA = { nWholeSize : 44 ; nAddSize : 44 ; nMaxSize : 4 ; n : 0 ; arr : 4 ; } ;"},
      {{"TS = { b : 1 ; s : 1_256 ; i : 4 ; } ;"}, 0,
       "TS = { nWholeSize : 264 ; nAddSize : 264 ; nMaxSize : 4 ; b : 0 ; s : 1 ; i : 260 ; } ;"},
      {{"TM = { x : [ 0 .. 3 , 0 .. 1 ] of 2 ; y : 1 ; } ;"}, 0,
       "TM = { nWholeSize : 20 ; nAddSize : 17 ; nMaxSize : 2 ; x : 0 ; y : 16 ; } ;"},
      {{"TY = { a : 10 - 2 + 3 ; } ;"}, 0, "TY = { nWholeSize : 8 ; nAddSize : 5 ; nMaxSize : 5 ; a : 0 ; } ;"},
      {{tlate, "TQ = { a : [ 0 .. 2 ] of TLate ; } ;"}, 1,
       "TQ = { nWholeSize : 12 ; nAddSize : 12 ; nMaxSize : 2 ; a : 0 ; } ;"},
      {{"K = 3 ;", "TK = { a : [ 1 .. K ] of 1 ; b : 8 ; } ;"}, 1,
       "TK = { nWholeSize : 16 ; nAddSize : 16 ; nMaxSize : 8 ; a : 0 ; b : 8 ; } ;"},
      // An array of a structure steps by its whole size, padding included,
      // as a member of it takes it.
      {{"T5 = { a : 4 ; b : 1 ; } ;", "TU = { a : [ 0 .. 2 ] of T5 ; b : T5 ; } ;"}, 1,
       "TU = { nWholeSize : 32 ; nAddSize : 32 ; nMaxSize : 4 ; a : 0 ; b : 24 ; } ;"},
      // A member with a size prefix aligns by its prefix alone, never by its
      // total size: six bytes align to 1, a structure as its nMaxSize.
      {{"TE6 = { v : [ 0 .. 5 ] of 1 ; } ;", "TSid = { r : 1 ; c : 1 ; ia : TE6 ; s : [ 0 .. 0 ] of 4 ; } ;"}, 1,
       "TSid = { nWholeSize : 16 ; nAddSize : 16 ; nMaxSize : 4 ; r : 0 ; c : 1 ; ia : 2 ; s : 12 ; } ;"},
      {{"TN = { b : 1 ; n : 1_8 ; c : 1 ; } ;"}, 0,
       "TN = { nWholeSize : 12 ; nAddSize : 10 ; nMaxSize : 1 ; b : 0 ; n : 1 ; c : 9 ; } ;"},
      {{"TPk = packed { a : 4 ; b : 4 ; } ;", "TO = { c : 1 ; p : TPk ; } ;"}, 1,
       "TO = { nWholeSize : 12 ; nAddSize : 9 ; nMaxSize : 1 ; c : 0 ; p : 1 ; } ;"},
      // Basic types aligned otherwise than by their size come in the sized
      // form: Extended, method pointers.
      {{"TX8 = { b : 1 ; e : 8_10 ; c : 1 ; m : 4_8 ; } ;"}, 0,
       "TX8 = { nWholeSize : 28 ; nAddSize : 28 ; nMaxSize : 8 ; b : 0 ; e : 8 ; c : 18 ; m : 20 ; } ;"},
      {{"TD = { a : 1 ; c : $10 ; } ;"}, 0,
       "TD = { nWholeSize : 20 ; nAddSize : 17 ; nMaxSize : 1 ; a : 0 ; c : 1 ; } ;"},
  };
  for (const Row& row : rows) {
    SCOPED_TRACE(row.after);
    LineList list = LooseList(row.lines);
    RecordingFrontEnd ui;
    EXPECT_TRUE(RunLayoutCycles(list, ui).complete);
    ASSERT_EQ(list.Count(), row.lines.size() + 1);
    EXPECT_EQ(list.Get(row.target), Loose(row.after));
    EXPECT_EQ(list.Get(list.Count() - 1), Gbk(texts::kLayoutSucceededLine));
    EXPECT_TRUE(ui.log.empty());
    EXPECT_TRUE(ui.messages.empty());
  }
}

TEST(RunLayoutCycles, AnUnresolvedFirstLineIsNotASuccess) {
  const std::vector<std::pair<std::string, std::string>> laid_out = {
      {"TX = { a : 1 ; b : ( 2 + 3 ) * 4 ; } ;",
       "TX = { nWholeSize : 24 ; nAddSize : 21 ; nMaxSize : 1 ; a : 0 ; b : 1 ; } ;"},
      {"TN = { a : 2 * 3 * 4 ; } ;", "TN = { nWholeSize : 24 ; nAddSize : 24 ; nMaxSize : 1 ; a : 0 ; } ;"},
  };
  for (const auto& [before, after] : laid_out) {
    LineList list = LooseList({before});
    RecordingFrontEnd ui;
    EXPECT_TRUE(RunLayoutCycles(list, ui).complete);
    EXPECT_EQ(list.Lines(), (std::vector<std::string>{Loose(after), Gbk(texts::kLayoutSucceededLine)}));
  }

  LineList list = LooseList({"TQ = { a : [ 0 .. 2 ] of TLate ; } ;", "TLate = { x : 2 ; y : 2 ; } ;"});
  RecordingFrontEnd ui;
  EXPECT_TRUE(RunLayoutCycles(list, ui).complete);
  EXPECT_EQ(list.Get(0), Loose("TQ = { nWholeSize : 12 ; nAddSize : 12 ; nMaxSize : 2 ; a : 0 ; } ;"));

  LineList failing = LooseList({"TW = { a : Unknown ; } ;", "TR = { a : 1 ; } ;"});
  EXPECT_FALSE(RunLayoutCycles(failing, ui).complete);
  EXPECT_EQ(failing.Count(), 2u);
  ASSERT_EQ(ui.log.size(), 3u);
  EXPECT_NE(ui.LogUtf8()[1].find("失败行号= 1 未知数据类型: \"Unknown\" N=0 "), std::string::npos);
  EXPECT_NE(ui.LogUtf8()[2].find("结构 TW 未能生成偏移"), std::string::npos);
}

TEST(RunLayoutCycles, ParenthesisedBoundsLayOut) {
  LineList list = LooseList({"LF_FACESIZE = 32 ;", "TF = { Name : [ 0 .. ( LF_FACESIZE ) - 1 ] of 1 ; } ;"});
  RecordingFrontEnd ui;
  EXPECT_TRUE(RunLayoutCycles(list, ui).complete);
  EXPECT_EQ(list.Get(1), Loose("TF = { nWholeSize : 32 ; nAddSize : 32 ; nMaxSize : 1 ; Name : 0 ; } ;"));
}

TEST(RunLayoutCycles, ArraysOfWideElementsLayOutAsOneMember) {
  LineList list = LooseList({"N = 1 ;", "TE = { a : [ 0 .. 2 ] of 10 ; b : 1 ; } ;"});
  RecordingFrontEnd ui;
  EXPECT_TRUE(RunLayoutCycles(list, ui).complete);
  EXPECT_EQ(list.Get(1), Loose("TE = { nWholeSize : 32 ; nAddSize : 31 ; nMaxSize : 1 ; a : 0 ; b : 30 ; } ;"));
}

TEST(LayOutStructures, MembersWithoutAnAlignmentAlignToOneByte) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"TZ = { a : 1 ; b : 0 ; c : 2 ; } ;",
       "TZ = { nWholeSize : 4 ; nAddSize : 4 ; nMaxSize : 2 ; a : 0 ; b : 1 ; c : 2 ; } ;"},
      {"TZ = { a : 1 ; b : 0_4 ; } ;", "TZ = { nWholeSize : 8 ; nAddSize : 5 ; nMaxSize : 1 ; a : 0 ; b : 1 ; } ;"},
      {"TZ = { a : 1 ; b : - 2 ; c : 4 ; } ;",
       "TZ = { nWholeSize : 4 ; nAddSize : 4 ; nMaxSize : 4 ; a : 0 ; b : 1 ; c : 0 ; } ;"},
  };
  for (const auto& [before, after] : cases) {
    LineList list = LooseList({before});
    LayOutStructures(list);
    EXPECT_EQ(list.Get(0), Loose(after));
  }
}

TEST(LayOutStructures, ForwardDeclarationsTakeTheSizesOfTheFullOne) {
  LineList list = LooseList({"TFoo = { } ;", "TBar = { p : 4 ; } ;", "TFoo = { a : 4 ; b : 2 ; } ;"});
  LayoutPass pass = LayOutStructures(list);
  EXPECT_FALSE(pass.last_unresolved);
  EXPECT_TRUE(pass.changed);
  EXPECT_EQ(list.Get(0), Loose("TFoo = { nWholeSize : 8 ; nAddSize : 6 ; nMaxSize : 4 ;} ;"));
  EXPECT_EQ(list.Get(2), Loose("TFoo = { nWholeSize : 8 ; nAddSize : 6 ; nMaxSize : 4 ; a : 0 ; b : 4 ; } ;"));
}

TEST(LayOutStructures, NamesakesMatchTheNameExactly) {
  const std::vector<std::string> others = {"tfoo = { } ;", "TFoo2 = { } ;", "TFoo  = { } ;", "TFoo = 4 ;",
                                           "X = TFoo = { } ;"};
  std::vector<std::string> lines = others;
  lines.push_back("TFoo = { a : 4 ; } ;");
  LineList list = LooseList(lines);
  LayOutStructures(list);
  for (size_t i = 0; i < others.size(); ++i) EXPECT_EQ(list.Get(i), Loose(others[i]));
  EXPECT_EQ(list.Get(others.size()), Loose("TFoo = { nWholeSize : 4 ; nAddSize : 4 ; nMaxSize : 4 ; a : 0 ; } ;"));
}

TEST(LayOutStructures, LeavesUnresolvedAndNonStructureLinesAsRead) {
  const std::vector<std::string> before = {"TW = { a : Unknown ; b : 4 ; } ;", "V : TR ;", "N = 10 ;",
                                           "TE = { } ;", "X = a : b"};
  LineList list = LooseList(before);
  LayoutPass pass = LayOutStructures(list);
  EXPECT_EQ(list, LooseList(before));
  EXPECT_FALSE(pass.changed);
  ASSERT_TRUE(pass.last_unresolved);
  EXPECT_EQ(*pass.last_unresolved, 4u);
  EXPECT_EQ(pass.unresolved_value, "");
}

TEST(LayOutStructures, NamesTheLastUnresolvedLineAndItsValue) {
  LineList list = LooseList({"TW = { a : Unknown ; } ;", "TR = { a : 1 ; } ;", "V : TMissing ;", "N = 10 ;"});
  LayoutPass pass = LayOutStructures(list);
  ASSERT_TRUE(pass.last_unresolved);
  EXPECT_EQ(*pass.last_unresolved, 2u);
  EXPECT_EQ(pass.unresolved_value, "TMissing");
  EXPECT_TRUE(pass.changed);
  EXPECT_FALSE(LayOutStructures(list).changed);
}

// Each record embeds the one after it: the last is laid out first, and each
// one laid out lets the one before it follow, all in the same pass.
TEST(LayOutStructures, ARecordServesTheEarlierOnesThatWaitedForIt) {
  LineList list = LooseList({"TA = { x : 1 ; b : TB ; } ;", "N = 1 ;", "TB = { x : 1 ; c : TC ; } ;",
                             "TW = { a : Unknown ; } ;", "TC = { x : 4 ; } ;"});
  LayoutPass pass = LayOutStructures(list);
  EXPECT_EQ(list.Get(4), Loose("TC = { nWholeSize : 4 ; nAddSize : 4 ; nMaxSize : 4 ; x : 0 ; } ;"));
  EXPECT_EQ(list.Get(2), Loose("TB = { nWholeSize : 8 ; nAddSize : 8 ; nMaxSize : 4 ; x : 0 ; c : 4 ; } ;"));
  EXPECT_EQ(list.Get(0), Loose("TA = { nWholeSize : 12 ; nAddSize : 12 ; nMaxSize : 4 ; x : 0 ; b : 4 ; } ;"));
  ASSERT_TRUE(pass.last_unresolved);
  EXPECT_EQ(*pass.last_unresolved, 3u);
  EXPECT_EQ(pass.unresolved_value, "Unknown");
}

TEST(LayOutStructures, LeavesLaidOutLinesAlone) {
  const std::string laid_out = "TR = { nWholeSize : 8 ; nAddSize : 8 ; nMaxSize : 4 ; a : 0 ; b : 4 ; } ;";
  LineList list = LooseList({laid_out, "TO = { r : TR ; } ;"});
  LayOutStructures(list);
  EXPECT_EQ(list.Get(0), Loose(laid_out));
  EXPECT_EQ(list.Get(1), Loose("TO = { nWholeSize : 8 ; nAddSize : 8 ; nMaxSize : 4 ; r : 0 ; } ;"));
}

TEST(LayOutStructures, LeavesStructuresWhoseSizesExceed32Bits) {
  struct Case {
    const char* line;
    const char* unresolved;
  };
  const std::vector<Case> cases = {
      {"TH = { a : 4294967296 ; } ;", "4294967296"},
      {"TH = { a : 2000000000 ; b : 2000000000 ; c : 1 ; } ;", "2000000000"},
      {"TH = packed { a : 2000000000 ; b : 2000000000 ; } ;", "2000000000"},
      {"TH = { a : 1 ; b : 2147483646 ; } ;", "2147483646"},
      {"TH = { a : [ 0 .. 99999 ] of 1_99999 ; } ;", "1A9999900000"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    LineList list = LooseList({"N = 1 ;", c.line});
    RecordingFrontEnd ui;
    EXPECT_FALSE(RunLayoutCycles(list, ui).complete);
    EXPECT_EQ(list.Get(1).find("nWholeSize"), std::string::npos);
    ASSERT_EQ(ui.log.size(), 3u);
    EXPECT_NE(ui.LogUtf8()[1].find("\"" + std::string(c.unresolved) + "\" N=1 "), std::string::npos);
  }
}

TEST(RunLayoutCycles, GoOnWhileStructuresStillLayOut) {
  // TZ stays the last unresolved line for two cycles while the chain it
  // depends on lays out one structure per cycle.
  const std::vector<std::string> chain = {"N = 1 ;", "TC = { d : TD ; } ;", "TD = { e : TE ; } ;",
                                          "TE = { x : 4 ; } ;", "TZ = { a : 1 ; c : TC ; } ;"};
  LineList list = LooseList(chain);
  RecordingFrontEnd ui;
  EXPECT_TRUE(RunLayoutCycles(list, ui).complete);
  EXPECT_EQ(list.Get(4), Loose("TZ = { nWholeSize : 8 ; nAddSize : 8 ; nMaxSize : 4 ; a : 0 ; c : 4 ; } ;"));

  // With a line that never resolves, the report names the last unresolved
  // line of the final cycle, after everything else has laid out.
  std::vector<std::string> failing = chain;
  failing.insert(failing.begin() + 4, "TW = { a : Unknown ; } ;");
  list = LooseList(failing);
  EXPECT_FALSE(RunLayoutCycles(list, ui).complete);
  EXPECT_NE(list.Get(5).find("nWholeSize"), std::string::npos);
  ASSERT_EQ(ui.log.size(), 3u);
  EXPECT_NE(ui.LogUtf8()[1].find("失败行号= 5 未知数据类型: \"Unknown\" N=4 "), std::string::npos);
}

TEST(RunLayoutCycles, ReportsTheUnresolvedLine) {
  LineList list = LooseList({"N = 10 ;", "TW = { a : 4 ; b : Unknown ; } ;", "TR = { a : 1 ; } ;"});
  const std::vector<std::string> before = list.Lines();
  RecordingFrontEnd ui;
  EXPECT_FALSE(RunLayoutCycles(list, ui).complete);
  EXPECT_EQ(list.Count(), 3u);
  EXPECT_EQ(list.Get(1), before[1]);
  const std::string incomplete = "--------------------结构内部偏移量生成不完整！！！！！！！！！！！！！！！！";
  EXPECT_EQ(ui.LogUtf8(), (std::vector<std::string>{
                              incomplete,
                              "--------------------失败行号= 2 未知数据类型: \"Unknown\" N=1 " + incomplete,
                              "--------------------结构 TW 未能生成偏移，已从 ClassType.lua 中略去：成员 b "
                              "未知数据类型: \"Unknown\"",
                          }));
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].caption, Gbk("确认信息"));
  EXPECT_EQ(ui.messages[0].text, Gbk("结构内部偏移量生成不完整！"));
  EXPECT_EQ(ui.messages[0].icon, MessageIcon::kError);
  // The problems: the failure, then every structure left unresolved, which
  // the script leaves out.
  ASSERT_EQ(ui.problems.size(), 2u);
  EXPECT_EQ(ui.problems[0].kind, ProblemKind::kFailure);
  EXPECT_EQ(ui.problems[1].kind, ProblemKind::kLeftOut);
  EXPECT_EQ(ui.problems[1].text, Gbk("结构 TW 已略去：成员 b 未知数据类型: \"Unknown\""));
}

TEST(RunLayoutCycles, EmptyStructuresStayWithoutSizesAndHoldUpTheirUsers) {
  LineList list = LooseList({"N = 1 ;", "TE = { } ;", "TU = { e : TE ; } ;"});
  RecordingFrontEnd ui;
  EXPECT_FALSE(RunLayoutCycles(list, ui).complete);
  EXPECT_EQ(list.Get(1), Loose("TE = { } ;"));
  ASSERT_EQ(ui.log.size(), 3u);
  EXPECT_NE(ui.LogUtf8()[1].find("\"TE\" N=2 "), std::string::npos);
}

TEST(RunLayoutCycles, BracesColonsAndSemicolonsInStringsAreText) {
  const std::vector<std::string> lines = {"N = 1 ;", "SText = \"Press { to begin: now ;\" ;",
                                          "SPacked = \" packed { a : 1 ; } \" ;", "TR = { a : 1 ; } ;"};
  LineList list = LooseList(lines);
  RecordingFrontEnd ui;
  EXPECT_TRUE(RunLayoutCycles(list, ui).complete);
  EXPECT_EQ(list.Get(1), Loose(lines[1]));
  EXPECT_EQ(list.Get(2), Loose(lines[2]));
  EXPECT_EQ(list.Get(3), Loose("TR = { nWholeSize : 4 ; nAddSize : 1 ; nMaxSize : 1 ; a : 0 ; } ;"));
}

// ---- Derived classes ------------------------------------------------------

struct ClassRow {
  const char* what;
  std::vector<std::string> lines;  // the list handed to the cycles
  std::vector<std::string> laid_out;  // the structure lines afterwards, in order
};

// The laid-out structure lines of a list (those holding a brace), without
// the success line.
std::vector<std::string> StructureLines(const LineList& list) {
  std::vector<std::string> lines;
  for (const std::string& line : list.Lines())
    if (line.find('{') != std::string::npos) lines.push_back(line);
  return lines;
}

// A derived class continues its parent's instance: its own members start
// at the parent's whole size, each aligned as its kind, with the parent's
// alignment inherited; its offsets count from the start of the instance.
TEST(RunLayoutCycles, DerivedClassesStartWhereTheParentsInstanceEnds) {
  const std::string base = "TBase = { Vmt : 4 ; a : 4 ; b : 4 ; } ;";
  const std::string base_out = "TBase = { nWholeSize : 12 ; nAddSize : 12 ; nMaxSize : 4 ; Vmt : 0 ; a : 4 ; b : 8 ; } ;";
  const std::vector<ClassRow> rows = {
      {"after a parent of 12 bytes",
       {base, "TKid = { c : 4 ; } ;", "setmetatable ( TKid , TBase ) ;"},
       {base_out, "TKid = { nWholeSize : 16 ; nAddSize : 16 ; nMaxSize : 4 ; c : 12 ; } ;"}},
      {"a Byte then an Integer after the VMT pointer alone",
       {"TObj = { Vmt : 4 ; } ;", "TKid = { k : 1 ; i : 4 ; } ;", "setmetatable ( TKid , TObj ) ;"},
       {"TObj = { nWholeSize : 4 ; nAddSize : 4 ; nMaxSize : 4 ; Vmt : 0 ; } ;",
        "TKid = { nWholeSize : 12 ; nAddSize : 12 ; nMaxSize : 4 ; k : 4 ; i : 8 ; } ;"}},
      {"a Double still aligned to 8",
       {"TObj = { Vmt : 4 ; } ;", "TKid = { d : 8 ; b : 1 ; } ;", "setmetatable ( TKid , TObj ) ;"},
       {"TObj = { nWholeSize : 4 ; nAddSize : 4 ; nMaxSize : 4 ; Vmt : 0 ; } ;",
        "TKid = { nWholeSize : 20 ; nAddSize : 17 ; nMaxSize : 8 ; d : 8 ; b : 16 ; } ;"}},
      {"the parent's alignment is inherited",
       {"TDbl = { Vmt : 4 ; d : 8 ; } ;", "TKid = { b : 1 ; } ;", "setmetatable ( TKid , TDbl ) ;"},
       {"TDbl = { nWholeSize : 16 ; nAddSize : 16 ; nMaxSize : 8 ; Vmt : 0 ; d : 8 ; } ;",
        "TKid = { nWholeSize : 20 ; nAddSize : 17 ; nMaxSize : 8 ; b : 16 ; } ;"}},
      {"a grandchild declared first waits for the chain",
       {"TGrand = { z : 1 ; } ;", "TKid = { c : 4 ; } ;", base, "setmetatable ( TKid , TBase ) ;",
        "setmetatable ( TGrand , TKid ) ;"},
       {"TGrand = { nWholeSize : 20 ; nAddSize : 17 ; nMaxSize : 4 ; z : 16 ; } ;",
        "TKid = { nWholeSize : 16 ; nAddSize : 16 ; nMaxSize : 4 ; c : 12 ; } ;", base_out}},
      {"an empty child takes its parent's sizes, and its own child follows them",
       {base, "TEmpty = { } ;", "TKid = { c : 1 ; } ;", "setmetatable ( TEmpty , TBase ) ;",
        "setmetatable ( TKid , TEmpty ) ;"},
       {base_out, "TEmpty = { nWholeSize : 12 ; nAddSize : 12 ; nMaxSize : 4 ; } ;",
        "TKid = { nWholeSize : 16 ; nAddSize : 13 ; nMaxSize : 4 ; c : 12 ; } ;"}},
      {"a forward declaration waits for the full one",
       {"TKid = {} ;", base, "TKid = { c : 4 ; } ;", "setmetatable ( TKid , TBase ) ;"},
       {"TKid = { nWholeSize : 16 ; nAddSize : 16 ; nMaxSize : 4 ;} ;", base_out,
        "TKid = { nWholeSize : 16 ; nAddSize : 16 ; nMaxSize : 4 ; c : 12 ; } ;"}},
      {"an alias of a class stands for it",
       {base, "TAlias = TBase ;", "TKid = { c : 4 ; } ;", "setmetatable ( TKid , TAlias ) ;"},
       {base_out, "TKid = { nWholeSize : 16 ; nAddSize : 16 ; nMaxSize : 4 ; c : 12 ; } ;"}},
      {"an alias sized as a class reference is read in the declarations",
       {base, "TRef = 4 ;", "TKid = { c : 4 ; } ;", "setmetatable ( TKid , TRef ) ;"},
       {base_out, "TKid = { nWholeSize : 16 ; nAddSize : 16 ; nMaxSize : 4 ; c : 12 ; } ;"}},
  };
  const LineList declarations = LooseList({"TRef = ^TBase ;"});
  for (const ClassRow& row : rows) {
    SCOPED_TRACE(row.what);
    LineList list = LooseList(row.lines);
    RecordingFrontEnd ui;
    EXPECT_TRUE(RunLayoutCycles(list, ui, RecordPadding::kFour, declarations).complete);
    EXPECT_EQ(StructureLines(list), LooseList(row.laid_out).Lines());
    EXPECT_TRUE(ui.messages.empty());
  }
}

// A class whose parent is never laid out (declared nowhere, only forward,
// or in a cycle of parents) cannot know where its members start: the layout
// stays incomplete and names the parent.
TEST(RunLayoutCycles, AClassWithoutALaidOutParentIsUnresolved) {
  const std::vector<std::vector<std::string>> inputs = {
      {"TKid = { c : 4 ; } ;", "setmetatable ( TKid , TMissing ) ;"},
      {"TMissing = { } ;", "TKid = { c : 4 ; } ;", "setmetatable ( TKid , TMissing ) ;"},
      {"TA = { a : 4 ; } ;", "TKid = { c : 4 ; } ;", "setmetatable ( TKid , TA ) ;", "setmetatable ( TA , TKid ) ;"},
      {"TMissing = TOther ;", "TOther = TMissing ;", "TKid = { c : 4 ; } ;", "setmetatable ( TKid , TMissing ) ;"},
  };
  for (const auto& lines : inputs) {
    LineList list = LooseList(lines);
    RecordingFrontEnd ui;
    EXPECT_FALSE(RunLayoutCycles(list, ui).complete);
    ASSERT_GE(ui.log.size(), 3u);
    EXPECT_NE(ui.LogUtf8()[1].find(" 未知数据类型: \"T"), std::string::npos) << ui.LogUtf8()[1];
    EXPECT_NE(ui.LogUtf8().back().find("父类 未知数据类型: \"T"), std::string::npos) << ui.LogUtf8().back();
    for (const std::string& line : list.Lines()) {
      if (line.find("TKid = {") != std::string::npos) {
        EXPECT_EQ(line.find("nWholeSize"), std::string::npos);
      }
    }
  }
}

// A modern compiler rounds a record's whole size up to its largest
// alignment; the host's era rounded up to 4, whatever the alignment.
TEST(RunLayoutCycles, TheRecordPaddingRoundsTheWholeSize) {
  const std::vector<std::string> lines = {"TL = { a : 8 ; b : 1 ; } ;", "TB = { a : 2 ; b : 1 ; } ;",
                                          "TP = packed { a : 8 ; b : 1 ; } ;", "TObj = { Vmt : 4 ; d : 8 ; b : 1 ; } ;",
                                          "TKid = { c : 1 ; } ;", "setmetatable ( TKid , TObj ) ;"};
  struct Padded {
    RecordPadding padding;
    std::vector<std::string> laid_out;
  };
  const std::vector<Padded> paddings = {
      {RecordPadding::kFour,
       {"TL = { nWholeSize : 12 ; nAddSize : 9 ; nMaxSize : 8 ; a : 0 ; b : 8 ; } ;",
        "TB = { nWholeSize : 4 ; nAddSize : 3 ; nMaxSize : 2 ; a : 0 ; b : 2 ; } ;",
        "TP = { nWholeSize : 9 ; nAddSize : 9 ; nMaxSize : 1 ; a : 0 ; b : 8 ; } ;",
        "TObj = { nWholeSize : 20 ; nAddSize : 17 ; nMaxSize : 8 ; Vmt : 0 ; d : 8 ; b : 16 ; } ;",
        "TKid = { nWholeSize : 24 ; nAddSize : 21 ; nMaxSize : 8 ; c : 20 ; } ;"}},
      {RecordPadding::kLargest,
       {"TL = { nWholeSize : 16 ; nAddSize : 9 ; nMaxSize : 8 ; a : 0 ; b : 8 ; } ;",
        "TB = { nWholeSize : 4 ; nAddSize : 3 ; nMaxSize : 2 ; a : 0 ; b : 2 ; } ;",
        "TP = { nWholeSize : 9 ; nAddSize : 9 ; nMaxSize : 1 ; a : 0 ; b : 8 ; } ;",
        "TObj = { nWholeSize : 24 ; nAddSize : 17 ; nMaxSize : 8 ; Vmt : 0 ; d : 8 ; b : 16 ; } ;",
        "TKid = { nWholeSize : 32 ; nAddSize : 25 ; nMaxSize : 8 ; c : 24 ; } ;"}},
  };
  for (const Padded& p : paddings) {
    LineList list = LooseList(lines);
    RecordingFrontEnd ui;
    EXPECT_TRUE(RunLayoutCycles(list, ui, p.padding).complete);
    EXPECT_EQ(StructureLines(list), LooseList(p.laid_out).Lines());
  }
}

TEST(GiveEmptyStructuresZeroSize, LeavesEmptyBracesInStrings) {
  LineList list = LooseList({"S = \" { } \" ;", "S = \" { } \" ; T = { } ;"});
  GiveEmptyStructuresZeroSize(list);
  EXPECT_EQ(list, LooseList({"S = \" { } \" ;", "S = \" { } \" ; T = { nWholeSize : 0 ; } ;"}));
}

TEST(GiveEmptyStructuresZeroSize, FillsTheFirstEmptyPairOfEachLine) {
  LineList list = LooseList({"TE = { } ;", "TF = { } ; G = { } ;", "TR = { a : 0 ; } ;", "TG = {  } ;"});
  GiveEmptyStructuresZeroSize(list);
  EXPECT_EQ(list, LooseList({"TE = { nWholeSize : 0 ; } ;", "TF = { nWholeSize : 0 ; } ; G = { } ;",
                             "TR = { a : 0 ; } ;", "TG = {  } ;"}));
}

}  // namespace
}  // namespace ct::testing
