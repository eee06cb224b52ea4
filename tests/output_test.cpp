#include "pipeline/line_forms.h"
#include "pipeline/output/output.h"

#include <gtest/gtest.h>

#include <iterator>
#include <random>
#include <string>
#include <vector>

#include "pipeline/input_file.h"
#include "pipeline/normalise/normalise.h"
#include "pipeline/output/script_lines.h"
#include "pipeline/texts.h"
#include "tests/support/lua_check.h"
#include "tests/support/recording_front_end.h"
#include "text/gbk.h"
#include "text/line_list.h"
#include "text/scan.h"

namespace ct::testing {
namespace {

using Lines = std::vector<std::string>;

// ---- The worked example, step by step ------------------------------------------
//
// A class TBase with a field FCount, a record TItem with X: Word and
// P: PInteger, and a class TDerived(TBase) with FItem: TItem, as the accessor
// format leaves them.

const Lines kExampleWorking = {
    " vt_Integer = 1 ; ",
    " vt_Word = 8 ; ",
    " vt_Pointer = 36 ; ",
    " Integer = 4 ; ",
    " PInteger = ^Integer ; ",
    " TBase = { Vmt : { 0 , vt_Pointer } ; FCount : { 4 , vt_Integer } ; } ; ",
    " TItem = { X : { 0 , vt_Word } ; P : { 4 , - 1 , vt_Integer } ; } ; ",
    " TDerived = { FItem : { 8 , TItem } ; } ; ",
    " setmetatable ( TDerived , TBase ) ; ",
};

const Lines kExampleReference = {
    " vt_Integer = 1 ; ",
    " vt_Word = 8 ; ",
    " vt_Pointer = 36 ; ",
    " Integer = 4 ; ",
    " PInteger = ^Integer ; ",
    " TBase = { Vmt : Pointer ; FCount : Integer ; } ; ",
    " TItem = { X : Word ; P : PInteger ; } ; ",
    " TDerived = { FItem : TItem ; } ; ",
    " setmetatable ( TDerived , TBase ) ; ",
};

const char* const kMergedDerived =
    " TDerived = { Vmt : { 0 , vt_Pointer } ; FCount : { 4 , vt_Integer } ; FItem : { 8 , TItem } ; } ; ";

const Lines kExampleTidied = {
    " vt_Integer = 1 ; ",
    " vt_Word = 8 ; ",
    " vt_Pointer = 36 ; ",
    " TBase = { Vmt : { 0 , vt_Pointer } ; FCount : { 4 , vt_Integer } ; } ; ",
    " TItem = { X : { 0 , vt_Word } ; P : { 4 , - 1 , vt_Integer } ; } ; ",
    kMergedDerived,
};

const Lines kExampleBindings = {
    " TBase.__index = BindGet ",    " TBase.__newindex = BindSet ", " TItem.__index = BindGet ",
    " TItem.__newindex = BindSet ", " TDerived.__index = BindGet ", " TDerived.__newindex = BindSet ",
};

Lines Concat(Lines a, const Lines& b) {
  a.insert(a.end(), b.begin(), b.end());
  return a;
}

// What the reading layout writes before the loosening spaces it out.
const Lines kExampleForReading = Concat(
    {
        " vt_Integer = 1 ",
        " vt_Word = 8 ",
        " vt_Pointer = 36 ",
        " TBase = {",
        "\tVmt = { 0 , vt_Pointer } ,",
        "\tFCount = { 4 , vt_Integer } ,",
        "\t} ,",
        " TItem = {",
        "\tX = { 0 , vt_Word } ,",
        "\tP = { 4 , - 1 , vt_Integer } ,",
        "\t} ,",
        " TDerived = {",
        "\tVmt = { 0 , vt_Pointer } ,",
        "\tFCount = { 4 , vt_Integer } ,",
        "\tFItem = { 8 , TItem } ,",
        "\t} ,",
    },
    kExampleBindings);

// The same after the loosening.
const Lines kExampleLoosened = Concat(
    {
        " vt_Integer = 1 ",
        " vt_Word = 8 ",
        " vt_Pointer = 36 ",
        " TBase = { ",
        "\tVmt = { 0 , vt_Pointer } , ",
        "\tFCount = { 4 , vt_Integer } , ",
        "\t } , ",
        " TItem = { ",
        "\tX = { 0 , vt_Word } , ",
        "\tP = { 4 , - 1 , vt_Integer } , ",
        "\t } , ",
        " TDerived = { ",
        "\tVmt = { 0 , vt_Pointer } , ",
        "\tFCount = { 4 , vt_Integer } , ",
        "\tFItem = { 8 , TItem } , ",
        "\t } , ",
    },
    kExampleBindings);

// The lines of ClassType.lua.
const Lines kExampleScript = Concat(
    {
        " vt_Integer = 1 ",
        " vt_Word = 8 ",
        " vt_Pointer = 36 ",
        " TBase = { ",
        "\tVmt = { 0 , vt_Pointer } , ",
        "\tFCount = { 4 , vt_Integer } , ",
        "}",
        " TItem = { ",
        "\tX = { 0 , vt_Word } , ",
        "\tP = { 4 , - 1 , vt_Integer } , ",
        "}",
        " TDerived = { ",
        "\tVmt = { 0 , vt_Pointer } , ",
        "\tFCount = { 4 , vt_Integer } , ",
        "\tFItem = { 8 , TItem } , ",
        "}",
    },
    kExampleBindings);

TEST(OutputExample, SortMovesNothingWhenEveryTableFollowsWhatItEmbeds) {
  LineList working(kExampleWorking);
  SortByNesting(working, LineList(kExampleReference));
  EXPECT_EQ(working.Lines(), kExampleWorking);
}

TEST(OutputExample, MergePutsTheParentsMembersFirst) {
  LineList working(kExampleWorking);
  MergeInheritedMembers(working);
  Lines expected = kExampleWorking;
  expected[7] = kMergedDerived;
  EXPECT_EQ(working.Lines(), expected);
}

TEST(OutputExample, TidyKeepsTypeCodesAndStructures) {
  Lines merged = kExampleWorking;
  merged[7] = kMergedDerived;
  LineList working(merged);
  TidyLines(working);
  EXPECT_EQ(working.Lines(), kExampleTidied);
}

TEST(OutputExample, BindingLinesFollowInStructureOrder) {
  LineList working(kExampleTidied);
  AddBindingLines(working);
  EXPECT_EQ(working.Lines(), Concat(kExampleTidied, kExampleBindings));
}

TEST(OutputExample, ReadingLayoutPutsOneMemberOnEachLine) {
  LineList working(Concat(kExampleTidied, kExampleBindings));
  LineList reference(kExampleReference);
  LayOutForReading(working, reference);
  EXPECT_EQ(working.Lines(), kExampleForReading);
  EXPECT_EQ(reference.Lines(), Concat(kExampleTidied, kExampleBindings));
}

TEST(OutputExample, TableTidyAndValuesGiveTheScript) {
  LineList working(kExampleLoosened);
  TidyTables(working);
  NormaliseValues(working);
  EXPECT_EQ(working.Lines(), kExampleScript);
  EXPECT_EQ(CheckClassTypeLua(working.Text()), Lines{});
}

// Needs the real loosening between the steps, as the driver runs them.
TEST(OutputExample, WholeSequenceGivesTheScript) {
  if (LoosenLine(" a;") == " a;") GTEST_SKIP() << "the loosening is not built yet";
  LineList working(kExampleWorking);
  LineList reference(kExampleReference);
  LoosenText(working);
  SortByNesting(working, reference);
  MergeInheritedMembers(working);
  LoosenText(working);
  TidyLines(working);
  AddBindingLines(working);
  LayOutForReading(working, reference);
  LoosenText(working);
  TidyTables(working);
  NormaliseValues(working);
  EXPECT_EQ(working.Lines(), kExampleScript);
  EXPECT_EQ(CheckClassTypeLua(working.Text()), Lines{});
}

// ---- Nesting sort ------------------------------------------------------------------

TEST(SortByNesting, MovesARecordInFrontOfTheStructureThatEmbedsItFirst) {
  LineList working({
      " TUser = { A : { 0 , TRec } ; B : { 8 , TPair } ; } ; ",
      " Other = 1 ; ",
      " TPair = { P : { 0 , vt_Integer } ; } ; ",
      " TRec = { R : { 0 , vt_Integer } ; } ; ",
  });
  LineList reference({
      " TUser = { A : TRec ; B : TPair ; } ; ",
      " Other = 1 ; ",
      " TPair = { P : Integer ; } ; ",
      " TRec = { R : Integer ; } ; ",
  });
  SortByNesting(working, reference);
  EXPECT_EQ(working.Lines(), (Lines{
                                 " TRec = { R : { 0 , vt_Integer } ; } ; ",
                                 " TPair = { P : { 0 , vt_Integer } ; } ; ",
                                 " TUser = { A : { 0 , TRec } ; B : { 8 , TPair } ; } ; ",
                                 " Other = 1 ; ",
                             }));
}

TEST(SortByNesting, LeavesTheOrderWhenNoMemberNamesALaterStructure) {
  struct Case {
    const char* what;
    Lines reference;
  };
  const Case cases[] = {
      {"a pointer", {" TUser = { A : ^TRec ; } ; "}},
      {"an array of it", {" TUser = { A : array [ 0 .. 1 ] of TRec ; } ; "}},
      {"an empty structure", {" TUser = { } ; TRec : TRec ; "}},
      {"no member", {" TUser = 4 ; TRec ; "}},
      {"an empty type", {" TUser = { A : ; } ; "}},
      {"no reference line", {}},
  };
  const Lines working_lines = {
      " TUser = { A : { 0 , - 1 , TRec } ; } ; ",
      " TRec = { } ; ",
      " TRec = { R : { 0 , vt_Integer } ; } ; ",
  };
  for (const Case& c : cases) {
    LineList working(working_lines);
    SortByNesting(working, LineList(c.reference));
    EXPECT_EQ(working.Lines(), working_lines) << c.what;
  }
}

// Each record embeds the next one, declared after it. The passes alone leave
// such a chain out of order already at three records, and Lua would then
// read the later tables as nil.
TEST(SortByNesting, DefinesEveryEmbeddedTableBeforeItsUsers) {
  const int depth = 12;
  Lines working_lines, reference_lines, expected;
  for (int i = 1; i <= depth; ++i) {
    std::string name = "T" + std::to_string(i);
    std::string next = i < depth ? "T" + std::to_string(i + 1) : std::string("vt_Byte");
    working_lines.push_back(" " + name + " = { A : { 0 , " + next + " } ; } ; ");
    reference_lines.push_back(" " + name + " = { A : " + (i < depth ? next : std::string("Byte")) + " ; } ; ");
  }
  expected.assign(working_lines.rbegin(), working_lines.rend());
  LineList working(working_lines);
  SortByNesting(working, LineList(reference_lines));
  EXPECT_EQ(working.Lines(), expected);
}

TEST(SortByNesting, DefinesTheElementTableOfAFixedArrayFirst) {
  LineList working({
      " TUser = { A : { 0 , 16 , TRec } ; P : { 32 , - 1 , TLater } ; } ; ",
      " TRec = { R : { 0 , vt_Integer } ; } ; ",
      " TLater = { L : { 0 , vt_Integer } ; } ; ",
  });
  LineList reference({
      " TUser = { A : array [ 0 .. 1 ] of TRec ; P : ^TLater ; } ; ",
      " TRec = { R : Integer ; } ; ",
      " TLater = { L : Integer ; } ; ",
  });
  SortByNesting(working, reference);
  EXPECT_EQ(working.Lines(), (Lines{
                                 " TRec = { R : { 0 , vt_Integer } ; } ; ",
                                 " TUser = { A : { 0 , 16 , TRec } ; P : { 32 , - 1 , TLater } ; } ; ",
                                 " TLater = { L : { 0 , vt_Integer } ; } ; ",
                             }));
}

TEST(SortByNesting, StopsOnStructuresThatEmbedEachOther) {
  LineList working({
      " TA = { B : { 0 , TB } ; } ; ",
      " TB = { A : { 0 , TA } ; } ; ",
  });
  LineList reference({
      " TA = { B : TB ; } ; ",
      " TB = { A : TA ; } ; ",
  });
  SortByNesting(working, reference);
  EXPECT_EQ(working.Count(), 2u);
}

TEST(SortByNesting, SurvivesAReferenceListLongerThanTheWorkingList) {
  LineList working({" TRec = { R : { 0 , vt_Integer } ; } ; "});
  LineList reference({" X = 1 ; ", " Y = 1 ; ", " TUser = { A : TRec ; } ; "});
  SortByNesting(working, reference);
  EXPECT_EQ(working.Lines(), Lines{" TRec = { R : { 0 , vt_Integer } ; } ; "});
}

// ---- Inheritance merge -----------------------------------------------------------------

TEST(MergeInheritedMembers, FlattensAChainInDeclarationOrder) {
  LineList working({
      " TObject = { Vmt : { 0 , vt_Pointer } ; } ; ",
      " TMiddle = { FM : { 4 , vt_Integer } ; } ; ",
      " TLeaf = { FL : { 8 , vt_Byte } ; } ; ",
      " setmetatable ( TMiddle , TObject ) ; ",
      " setmetatable ( TLeaf , TMiddle ) ; ",
  });
  MergeInheritedMembers(working);
  EXPECT_EQ(working.Get(2),
            " TLeaf = { Vmt : { 0 , vt_Pointer } ; FM : { 4 , vt_Integer } ; FL : { 8 , vt_Byte } ; } ; ");
  EXPECT_EQ(working.Get(1), " TMiddle = { Vmt : { 0 , vt_Pointer } ; FM : { 4 , vt_Integer } ; } ; ");
  EXPECT_EQ(working.Get(3), " setmetatable ( TMiddle , TObject ) ; ");
}

TEST(MergeInheritedMembers, TakesTheFirstParentWithMembersAndTheLastChild) {
  struct Case {
    const char* what;
    Lines before;
    Lines after;
  };
  const Case cases[] = {
      {"an empty parent leaves the child as it is",
       {" TP = { } ; ", " TC = { A : { 0 , vt_Byte } ; } ; ", " setmetatable ( TC , TP ) ; "},
       {" TP = { } ; ", " TC = { A : { 0 , vt_Byte } ; } ; ", " setmetatable ( TC , TP ) ; "}},
      {"the first parent with members gives, the last child of the name receives",
       {" TP = { } ; ", " TP = { P : { 0 , vt_Word } ; } ; ", " TP = { Q : { 0 , vt_Byte } ; } ; ", " TC = { } ; ",
        " TC = { A : { 2 , vt_Byte } ; } ; ", " setmetatable ( tc , tp ) ; "},
       {" TP = { } ; ", " TP = { P : { 0 , vt_Word } ; } ; ", " TP = { Q : { 0 , vt_Byte } ; } ; ", " TC = { } ; ",
        " TC = { P : { 0 , vt_Word } ; A : { 2 , vt_Byte } ; } ; ", " setmetatable ( tc , tp ) ; "}},
      {"a child without members of its own",
       {" TP = { P : { 0 , vt_Word } ; } ; ", " TC = { } ; ", " setmetatable ( TC , TP ) ; "},
       {" TP = { P : { 0 , vt_Word } ; } ; ", " TC = { P : { 0 , vt_Word } ; } ; ", " setmetatable ( TC , TP ) ; "}},
      {"a missing parent",
       {" TC = { A : { 0 , vt_Byte } ; } ; ", " setmetatable ( TC , TGone ) ; "},
       {" TC = { A : { 0 , vt_Byte } ; } ; ", " setmetatable ( TC , TGone ) ; "}},
      {"a missing child",
       {" TP = { P : { 0 , vt_Word } ; } ; ", " setmetatable ( TGone , TP ) ; "},
       {" TP = { P : { 0 , vt_Word } ; } ; ", " setmetatable ( TGone , TP ) ; "}},
      {"inheritance lines without their brackets",
       {" TP = { P : { 0 , vt_Word } ; } ; ", " setmetatable ( TC , TP ; ", " setmetatable TC , TP ) ; ",
        " TC = { } ; "},
       {" TP = { P : { 0 , vt_Word } ; } ; ", " setmetatable ( TC , TP ; ", " setmetatable TC , TP ) ; ",
        " TC = { } ; "}},
      {"a parent line cut short",
       {" TP = {", " TC = {", " setmetatable ( TC , TP ) ; "},
       {" TP = {", " TC = {", " setmetatable ( TC , TP ) ; "}},
  };
  for (const Case& c : cases) {
    LineList working(c.before);
    MergeInheritedMembers(working);
    EXPECT_EQ(working.Lines(), c.after) << c.what;
  }
}

// ---- Tidy and binding lines ------------------------------------------------------------

TEST(TidyLines, KeepsOnlyWhatTheScriptNeeds) {
  struct Case {
    const char* line;
    bool kept;
  };
  const Case cases[] = {{" vt_Integer = 1 ; ", true},
                        {" TA = { A : { 0 , TB } ; } ; ", true},
                        {" TVt_A = { } ; ", true},
                        {" TA = { } ; ", false},
                        {" setmetatable ( TA , TB ) ; ", false},
                        {" SETMETATABLE ( vt_A , TB ) ; ", false},
                        {" Maxint = 32767 ; ", false},
                        {" PInteger = ^Integer ; ", false},
                        {" TNameType = ( a , b ) ; ", false},
                        {"", false}};
  for (const Case& c : cases) {
    LineList working({" First = { A : { 0 , vt_Byte } ; } ; ", c.line});
    TidyLines(working);
    EXPECT_EQ(working.Count(), c.kept ? 2u : 1u) << c.line;
  }
}

// What a type no stage could describe leaves in a table fails the run and
// is named in the log with its input line; numbers with a number or a name
// last pass, whatever the member is called.
TEST(EveryEntryIsData, NamesEveryEntryLuaCannotRead) {
  struct Case {
    const char* line;
    const char* logged;  // nullptr when the line passes
  };
  const Case cases[] = {
      {" TA = { a : { 0 , vt_Byte } ; p : { 4 , - 1 , - 1 , TA } ; x : { 8 , 4 , 2 } ; } ; ", nullptr},
      {" TA = { [ \"local\" ] : { 0 , vt_Byte } ; } ; ", nullptr},
      {" TA = { } ; ", nullptr},
      {" Maxint = 32767 ; ", nullptr},
      {" TA = { x : { 0 , Smallint Longint } ; } ; ", "TA.x = { 0 , Smallint Longint }"},
      {" TA = { f : { 1A72 , 1 , vt_Byte } ; } ; ", "TA.f = { 1A72 , 1 , vt_Byte }"},
      {" TA = { f : { TB , TB } ; } ; ", "TA.f = { TB , TB }"},
      {" TA = { f : { 0 } ; } ; ", "TA.f = { 0 }"},
      {" generic TList<T> = { a : { 0 , vt_Byte } ; } ; ", "generic TList<T>"},
      {" = { a : { 0 , vt_Byte } ; } ; ", ""},
  };
  for (const Case& c : cases) {
    LineList working;
    working.Add(c.line, 7);
    RecordingFrontEnd reporter;
    EXPECT_EQ(EveryEntryIsData(working, reporter), c.logged == nullptr) << c.line;
    const Lines expected = c.logged ? Lines{"--------------------无法描述的类型：" + std::string(c.logged) +
                                            "（ClassTable.txt 第 7 行）"}
                                    : Lines{};
    EXPECT_EQ(reporter.LogUtf8(), expected) << c.line;
    // The window lists each one with the line to look at.
    ASSERT_EQ(reporter.problems.size(), c.logged ? 1u : 0u) << c.line;
    if (c.logged) {
      EXPECT_EQ(reporter.problems[0].line, 7u) << c.line;
    }
  }
}

TEST(AddBindingLines, BindsEveryStructureWithMembersOnce) {
  LineList working({
      " vt_Byte = 2 ; ",
      " TVt_Empty = { } ; ",
      " TA = { A : { 0 , vt_Byte } ; } ; ",
      "TNoBlank = { B : { 0 , vt_Byte } ; } ; ",
  });
  AddBindingLines(working);
  EXPECT_EQ(working.Lines(), (Lines{
                                 " vt_Byte = 2 ; ",
                                 " TVt_Empty = { } ; ",
                                 " TA = { A : { 0 , vt_Byte } ; } ; ",
                                 "TNoBlank = { B : { 0 , vt_Byte } ; } ; ",
                                 " TA.__index = BindGet ",
                                 " TA.__newindex = BindSet ",
                                 "TNoBlank.__index = BindGet ",
                                 "TNoBlank.__newindex = BindSet ",
                             }));
}

// ---- Reading layout and final tidy ------------------------------------------------------------

TEST(LayOutForReading, WritesEachKindOfLine) {
  struct Case {
    const char* what;
    std::string line;
    Lines written;
  };
  const Case cases[] = {
      {"a constant loses its semicolon", " vt_Integer = 1 ; ", {" vt_Integer = 1 "}},
      {"colons become assignments", " vt_A : 1 ; B ; ", {" vt_A = 1 "}},
      {"a line without semicolon is kept whole", " TA.__index = BindGet ", {" TA.__index = BindGet "}},
      {"one member still takes several lines",
       " TA = { A : { 0 , vt_Byte } ; } ; ",
       {" TA = {", "\tA = { 0 , vt_Byte } ,", "\t} ,"}},
      {"a table with at most one semicolon stays on its line", " TA = { } ; ", {" TA = { }  "}},
      {"a closing pair loses its comma",
       " TA = { A : { 0 , { } } , } ; B : { 4 , vt_Byte } ; } ; ",
       {" TA = {", "\tA = { 0 , { } } } ,", "\tB = { 4 , vt_Byte } ,", "\t} ,"}},
  };
  for (const Case& c : cases) {
    LineList working({c.line});
    LineList reference;
    LayOutForReading(working, reference);
    EXPECT_EQ(working.Lines(), c.written) << c.what;
  }
}

TEST(TidyTables, ClosesTablesCleanly) {
  struct Case {
    const char* before;
    const char* after;
  };
  const Case cases[] = {{"\t } , ", "}"},
                        {"} ,", "}"},
                        {"\tA = { } , ", "\tA = { } "},
                        {" TA = { A = { 0 , vt_Byte } , } ", " TA = { A = { 0 , vt_Byte } } "},
                        {"\tA = { 0 , vt_Byte } , ", "\tA = { 0 , vt_Byte } , "}};
  for (const Case& c : cases) {
    LineList working({c.before});
    TidyTables(working);
    EXPECT_EQ(working.Get(0), c.after) << c.before;
  }
}

TEST(NormaliseValues, WritesNumbersInDecimal) {
  struct Case {
    const char* before;
    const char* after;
  };
  const Case cases[] = {{" vt_A = $10 ", " vt_A = 16 "},
                        {" vt_A = 1_256 ", " vt_A = 256 "},
                        {" vt_A = - 5 ", " vt_A = - 5 "},
                        {" vt_A = 1 ", " vt_A = 1 "},
                        {" vt_A = $10", " vt_A = $10"},
                        {"\tP = { 4 , - 1 , vt_Integer } , ", "\tP = { 4 , - 1 , vt_Integer } , "},
                        {" TA.__index = BindGet ", " TA.__index = BindGet "},
                        {" = ", " = "},
                        {"=", "="},
                        {"}", "}"}};
  for (const Case& c : cases) {
    LineList working({c.before});
    NormaliseValues(working);
    EXPECT_EQ(working.Get(0), c.after) << c.before;
  }
}

// ---- Text inside strings is never structure -----------------------------------------

TEST(StringsAreText, SortFindsNoMemberOrStructureInsideAString) {
  const Lines member_in_string = {" S = \"x : TRec ; y\" ; ", " TRec = { A : { 0 , vt_Byte } ; } ; "};
  LineList working(member_in_string);
  SortByNesting(working, LineList(member_in_string));
  EXPECT_EQ(working.Lines(), member_in_string);

  const Lines constant_named_like_a_type = {" TUser = { A : { 0 , TRec } ; } ; ", " TRec = \"a:b\" ; "};
  working = LineList(constant_named_like_a_type);
  SortByNesting(working, LineList({" TUser = { A : TRec ; } ; ", " TRec = \"a:b\" ; "}));
  EXPECT_EQ(working.Lines(), constant_named_like_a_type);
}

TEST(StringsAreText, MergeTakesNoInheritanceFromAString) {
  const Lines lines = {
      " TP = { P : { 0 , vt_Word } ; } ; ",
      " TC = { A : { 2 , vt_Byte } ; } ; ",
      " S = \" setmetatable ( TC , TP ) \" ; ",
  };
  LineList working(lines);
  MergeInheritedMembers(working);
  EXPECT_EQ(working.Lines(), lines);
}

TEST(StringsAreText, TidyDropsConstantsWhateverTheirStringsHold) {
  LineList working({
      " SText = \"Press { to begin; then: go\" ; ",
      " SCode = \"vt_Integer\" ; ",
      " vt_Byte = 7 ; ",
  });
  TidyLines(working);
  EXPECT_EQ(working.Lines(), Lines{" vt_Byte = 7 ; "});
}

TEST(StringsAreText, BindingLinesOnlyForRealTables) {
  const Lines lines = {" SText = \"= { x ; y }\" ; "};
  LineList working(lines);
  AddBindingLines(working);
  EXPECT_EQ(working.Lines(), lines);
}

TEST(StringsAreText, ReadingLayoutKeepsStringsWhole) {
  LineList working({
      " vt_Text = \"a:b;c\" ; ",
      " TA = { A : { 0 , \"x;y:z} } ,\" } ; } ; ",
  });
  LineList reference;
  LayOutForReading(working, reference);
  EXPECT_EQ(working.Lines(), (Lines{
                                 " vt_Text = \"a:b;c\" ",
                                 " TA = {",
                                 "\tA = { 0 , \"x;y:z} } ,\" } ,",
                                 "\t} ,",
                             }));
  working = LineList({" vt_Text = \"a, } b { } , c\" "});
  TidyTables(working);
  EXPECT_EQ(working.Get(0), " vt_Text = \"a, } b { } , c\" ");
}

// ---- Long structure lines ---------------------------------------------------------------

// A class with its ancestors merged in easily passes the length below which
// a plain token split works.
std::string LongStructure(const std::string& name, int members) {
  std::string line = " " + name + " = { ";
  for (int i = 0; i < members; ++i)
    line += "Field" + std::to_string(i) + " : { " + std::to_string(4 * i) + " , vt_Integer } ; ";
  return line + "} ; ";
}

TEST(LongLines, ReadingLayoutKeepsEveryMember) {
  const std::string big = LongStructure("TBig", 1000);
  ASSERT_GT(big.size(), static_cast<size_t>(kTokenLimit));
  LineList working({big, " TBig.__index = BindGet "});
  LineList reference;
  LayOutForReading(working, reference);
  ASSERT_EQ(working.Count(), 1003u);
  EXPECT_EQ(working.Get(0), " TBig = {");
  EXPECT_EQ(working.Get(1000), "\tField999 = { 3996 , vt_Integer } ,");
  EXPECT_EQ(working.Get(1001), "\t} ,");
  EXPECT_EQ(working.Get(1002), " TBig.__index = BindGet ");
}

TEST(LongLines, SortFindsALongStructureByName) {
  const std::string big = LongStructure("TBig", 1000);
  LineList working({" TUser = { B : { 0 , TBig } ; } ; ", big});
  SortByNesting(working, LineList({" TUser = { B : TBig ; } ; ", " TBig = { } ; "}));
  EXPECT_EQ(working.Get(0), big);
}

// ---- The data-only check ------------------------------------------------------------

TEST(ReadScriptLine, ReadsEveryShapeOfTheFormat) {
  using K = ScriptLineKind;
  const struct {
    const char* line;
    K kind;
    const char* name;
    const char* key;
    Lines reads;
  } cases[] = {
      {" vt_Integer = 1 ", K::kConstant, "vt_Integer", "", {}},
      {" VT_MIN = - 5 ", K::kConstant, "VT_MIN", "", {}},
      {" vt_Name = \"x y\" ", K::kConstant, "vt_Name", "", {}},
      {" VT_ALIAS = VT_ARRAY ", K::kConstant, "VT_ALIAS", "", {"VT_ARRAY"}},
      {" TUserItem = { ", K::kTableOpening, "TUserItem", "", {}},
      {" TEmpty = { } ", K::kEmptyTable, "TEmpty", "", {}},
      {" T\xD6\xD0 = { ", K::kTableOpening, "T\xD6\xD0", "", {}},
      {"\tMakeIndex = { 0 , vt_Integer } , ", K::kEntry, "", "MakeIndex", {"vt_Integer"}},
      {"\tm_Bag = { 436 , - 1 , 24 , TUserItem } , ", K::kEntry, "", "m_Bag", {"TUserItem"}},
      {"\t [ \"local\" ] = { 4 , vt_Byte } , ", K::kEntry, "", "local", {"vt_Byte"}},
      {"\t [ \"a\\034b\\\\\" ] = { 4 , vt_Byte } ", K::kEntry, "", "a\"b\\", {"vt_Byte"}},
      {"}", K::kClosing, "", "", {}},
      {"   ", K::kBlank, "", "", {}},
      {" TUserItem.__index = BindGet ", K::kBinding, "TUserItem", "", {}},
      {" TUserItem.__newindex = BindSet ", K::kBinding, "TUserItem", "", {}},
      {" TBaseObject.m_Target [ 3 ] = TBaseObject ", K::kLateReference, "TBaseObject", "m_Target",
       {"TBaseObject", "TBaseObject"}},
      {" TNode [ \"end\" ] [ 2 ] = TItem ", K::kLateReference, "TNode", "end", {"TNode", "TItem"}},
  };
  for (const auto& c : cases) {
    const ScriptLine read = ReadScriptLine(c.line);
    EXPECT_EQ(read.kind, c.kind) << c.line;
    EXPECT_EQ(read.name, c.name) << c.line;
    EXPECT_EQ(read.key, c.key) << c.line;
    EXPECT_EQ(read.reads, c.reads) << c.line;
  }
}

// Every line here would make Lua do something besides storing data, or end
// a constructor early, or not compile.
TEST(ReadScriptLine, RefusesWhatLuaReadsAsCode) {
  for (const char* line : {"\tos.execute\"touch /tmp/x\" , Byte , ",
                           "\ta = { 0 , f ( ) } , ",
                           "\ta = { 0 , vt_Byte } } , ",
                           "\ta = { 0 , vt_Byte } ; os.exit ( ) ",
                           "\ta = { 0 , - - 1 } , ",
                           "\ta = { 0 , vt_Byte } , --[[ ",
                           "\ta = { 0 , T.x } , ",
                           "\ta = { 0 , T [ 1 ] } , ",
                           "\ta = { 0 , \"s\" } , ",
                           "\t[[a]] = { 0 , vt_Byte } , ",
                           "\t[ \"a\\nb\" ] = { 0 , vt_Byte } , ",
                           "\t[ \"a\\999\" ] = { 0 , vt_Byte } , ",
                           "\t[ \"a\nb\" ] = { 0 , vt_Byte } , ",
                           "\t[ \"ab ] = { 0 , vt_Byte } , ",
                           "\tlocal = { 0 , vt_Byte } , ",
                           "\ta = { 0 , nil } , ",
                           " X = 1.5 ",
                           " X = 0x10 ",
                           " X = 1e9 ",
                           " X = true ",
                           " X = Y ( ) ",
                           " local X = 1 ",
                           " end = 1 ",
                           " X = [=[ s ]=] ",
                           " X = 1 Y = 2 ",
                           " T.__index = print ",
                           " T.__call = BindGet ",
                           " T.m [ 3 ] = T ( ) ",
                           " T.m [ i ] = T ",
                           " T.m.n [ 3 ] = T ",
                           " X = \"a\" .. \"b\" ",
                           " X = # T ",
                           " ; ",
                           " return "}) {
    EXPECT_EQ(ReadScriptLine(line).kind, ScriptLineKind::kNotData) << line;
  }
  EXPECT_EQ(ReadScriptLine(std::string("\ta = { 0 , vt_Byte } \0 , ", 24)).kind, ScriptLineKind::kNotData);
}

TEST(KeepDataOnly, LeavesOutWhatIsNotDataAndSaysWhere) {
  LineList working;
  const std::pair<const char*, LineOrigin> lines[] = {
      {" vt_Byte = 7 ", 1},
      {" print = 5 ", 2},
      {" U = { ", 3},
      {"\ta = { 0 , vt_Byte } , ", 3},
      {"\tos.execute\"x\" , Byte , ", 4},
      {"\tb = { 1 , Missing } , ", 5},
      {"\tn = { 2 , - 1 , U } , ", 6},
      {"}", 7},
      {" string = { ", 8},
      {"\tc = { 0 , vt_Byte } , ", 8},
      {"}", 8},
      {" U.__index = BindGet ", 3},
      {" U.__newindex = BindSet ", 3},
      {" string.__index = BindGet ", 8},
      {" U.n [ 3 ] = U ", 6},
      {" U.b [ 3 ] = U ", 5},
      {" V = { ", 9},
      {"\tv = { 0 , vt_Byte } , ", 9},
      {" W = { ", 10},
      {"\tw = { 0 , V } , ", 10},
  };
  for (const auto& [line, origin] : lines) working.Add(line, origin);
  RecordingFrontEnd ui;
  EXPECT_FALSE(KeepDataOnly(working, LineList(), ui));
  EXPECT_EQ(working.Lines(), (Lines{" vt_Byte = 7 ", " U = { ", "\ta = { 0 , vt_Byte } , ", "\tn = { 2 , - 1 , U } , ",
                                    "}", " U.__index = BindGet ", " U.__newindex = BindSet ", " U.n [ 3 ] = U "}));
  const std::string left_out = Gbk(texts::kLeftOutHead);
  EXPECT_TRUE(ui.Logged({left_out, "print = 5", WhereInInput(2)}));
  EXPECT_TRUE(ui.Logged({left_out, "os.execute\"x\"", Gbk(texts::kReasonStructure) + "U", WhereInInput(4)}));
  EXPECT_TRUE(ui.Logged({left_out, "Missing", WhereInInput(5)}));
  EXPECT_TRUE(ui.Logged({left_out, "string = {", WhereInInput(8)}));
  EXPECT_TRUE(ui.Logged({left_out, "U.b [ 3 ] = U", WhereInInput(5)}));
  EXPECT_TRUE(ui.Logged({left_out, "W = {", Gbk(texts::kReasonStructure) + "V", WhereInInput(10)}));
  EXPECT_TRUE(ui.Logged({left_out, "w = { 0 , V }", Gbk(texts::kUndefinedNameHead) + "V", WhereInInput(10)}));
  EXPECT_TRUE(ui.Logged({left_out, "V = {", Gbk(texts::kTableNotClosed), WhereInInput(9)}));
  EXPECT_EQ(ui.log.size(), 8u);  // the table left out takes its own lines with it
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].text, Gbk(texts::kLeftOutBox));
}

TEST(KeepDataOnly, NamesALaidOutStructureThatHasNoTable) {
  LineList working({" vt_Byte = 7 ", " U = { ", "\ta = { 0 , vt_Byte } , ", "}"});
  LineList snapshot;
  snapshot.Add(" U = { nWholeSize : 1 ; nAddSize : 1 ; nMaxSize : 1 ; a : 0 ; } ; ", 3);
  snapshot.Add(" TEmpty = { nWholeSize : 0 ; } ; ", 4);
  snapshot.Add(" W = { nWholeSize : 4 ; nAddSize : 4 ; nMaxSize : 4 ; x : 0 ; } ; ", 5);
  RecordingFrontEnd ui;
  EXPECT_FALSE(KeepDataOnly(working, snapshot, ui));
  ASSERT_EQ(ui.log.size(), 1u);
  EXPECT_TRUE(ui.Logged({Gbk(texts::kTableMissingHead) + "W", WhereInInput(5)}));
  EXPECT_EQ(working.Count(), 4u);

  RecordingFrontEnd sound;
  LineList complete({" vt_Byte = 7 ", " W = { ", "\tx = { 0 , vt_Byte } , ", "}", " U = { }"});
  EXPECT_TRUE(KeepDataOnly(complete, snapshot, sound));
  EXPECT_TRUE(sound.log.empty());
  EXPECT_TRUE(sound.messages.empty());
}

// ---- Any input ------------------------------------------------------------------------------

// Lines built from the pieces the stages look for, in any order and cut
// anywhere: every stage must end and stay inside its lines.
TEST(AnyInput, EveryStageEndsOnArbitraryLines) {
  const char* const pieces[] = {" ",   "=",  "{",   "}",  ";",   ":",   "(",   ")",
                                ",",   "\"", "- 1", "\t", "= {", "{ }", "} ;", " setmetatable ",
                                "vt_", "TA", "TB",  "$1", "1_2", "4"};
  std::mt19937 random(20240611);
  auto line = [&] {
    std::string text;
    for (size_t n = random() % 24; n > 0; --n) text += pieces[random() % std::size(pieces)];
    return text;
  };
  for (int round = 0; round < 300; ++round) {
    Lines working_lines, reference_lines;
    for (size_t n = random() % 12; n > 0; --n) working_lines.push_back(line());
    for (size_t n = random() % 12; n > 0; --n) reference_lines.push_back(line());
    LineList working(working_lines);
    LineList reference(reference_lines);
    SortByNesting(working, reference);
    ASSERT_EQ(working.Count(), working_lines.size());
    MergeInheritedMembers(working);
    TidyLines(working);
    AddBindingLines(working);
    LayOutForReading(working, reference);
    TidyTables(working);
    NormaliseValues(working);
    RecordingFrontEnd ui;
    KeepDataOnly(working, reference, ui);
    // What is left loads, reads only what it defines and calls nothing;
    // only bindings it lacks may still be wrong.
    for (const std::string& problem : CheckClassTypeLua(working.Text()))
      EXPECT_NE(problem.find(".__"), std::string::npos) << problem << "\n" << working.Text();
  }
}

}  // namespace
}  // namespace ct::testing
