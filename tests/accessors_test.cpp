#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "pipeline/accessors/accessors.h"
#include "pipeline/accessors/descriptor.h"
#include "pipeline/accessors/member_names.h"
#include "pipeline/fields.h"
#include "pipeline/line_forms.h"
#include "pipeline/normalise/normalise.h"
#include "pipeline/sizes/sizes.h"
#include "tests/support/recording_front_end.h"
#include "text/gbk.h"

namespace ct::testing {
namespace {

LineList Lines(std::vector<std::string> lines) { return LineList(std::move(lines)); }

// ---- Restoration ------------------------------------------------------------

TEST(RestoreDeclarations, DefinitionsWithoutColonGetTheirDeclaredTextBack) {
  LineList working = Lines({" PInteger = 4 ; ", " TItem = { X : 0 ; } ; ", " x : 4 ; ",
                            " TProc = 4 ; ", " setmetatable ( TItem , TObject ) ; "});
  const LineList reference = Lines({" PInteger = ^Integer ; ", " TItem = { X : Word ; } ; ", " x : Integer ; ",
                                    " TProc = procedure ( A : Integer ) ; ", " setmetatable ( TItem , TObject ) ; "});
  RecordingFrontEnd ui;
  EXPECT_TRUE(RestoreDeclarations(working, reference, ui));
  EXPECT_EQ(working, Lines({" PInteger = ^Integer ; ", " TItem = { X : 0 ; } ; ", " x : 4 ; ", " TProc = 4 ; ",
                            " setmetatable ( TItem , TObject ) ; "}));
  EXPECT_TRUE(ui.log.empty());
}

TEST(RestoreDeclarations, EveryLineBeyondAShortReferenceIsReported) {
  LineList working = Lines({" A = 4 ; ", " B = 4 ; ", " C = 4 ; "});
  const LineList reference = Lines({" A = Integer ; "});
  RecordingFrontEnd ui;
  EXPECT_FALSE(RestoreDeclarations(working, reference, ui));
  EXPECT_EQ(working, Lines({" A = Integer ; ", " B = 4 ; ", " C = 4 ; "}));
  ASSERT_EQ(ui.log.size(), 2u);
  ASSERT_EQ(ui.messages.size(), 2u);
  for (size_t k = 0; k < 2; ++k) {
    EXPECT_EQ(GbkToUtf8(ui.log[k]), "--------------------List长度(3) 与TmpList长度(1)不符！！！！！！！！！！！！！！");
    EXPECT_EQ(GbkToUtf8(ui.messages[k].caption), "确认信息");
    EXPECT_EQ(GbkToUtf8(ui.messages[k].text), "List长度(3) 与TmpList长度(1)不符！");
    EXPECT_EQ(ui.messages[k].icon, MessageIcon::kError);
  }
}

// ---- Removal of variable declarations ---------------------------------------

TEST(RemoveVariableDeclarations, VariablesAndProceduralTypesLeaveBothLists) {
  LineList working = Lines({" Count : { 0 , vt_Integer } ; ", " TItem = { X : { 0 , vt_Word } ; } ; ",
                            " TProc = 4 ; ", " Maxint = 32767 ; ", " Last : { 0 , vt_Byte } ; "});
  LineList reference = Lines({" Count : Integer ; ", " TItem = { X : Word ; } ; ",
                              " TProc = procedure ( A : Integer ) ; ", " Maxint = 32767 ; ", " Last : Byte ; "});
  RecordingFrontEnd ui;
  EXPECT_TRUE(RemoveVariableDeclarations(working, reference, ui));
  EXPECT_EQ(working, Lines({" TItem = { X : { 0 , vt_Word } ; } ; ", " Maxint = 32767 ; "}));
  EXPECT_EQ(reference, Lines({" TItem = { X : Word ; } ; ", " Maxint = 32767 ; "}));
  EXPECT_TRUE(ui.log.empty());
}

TEST(RemoveVariableDeclarations, EveryReferenceLineBeyondAShortWorkingListIsReported) {
  LineList working = Lines({" A = 1 ; "});
  LineList reference = Lines({" A = 1 ; ", " B = 2 ; ", " v : Integer ; ", " C = 3 ; "});
  RecordingFrontEnd ui;
  EXPECT_FALSE(RemoveVariableDeclarations(working, reference, ui));
  // The variable beyond the working list leaves the reference list alone.
  EXPECT_EQ(reference, Lines({" A = 1 ; ", " B = 2 ; ", " C = 3 ; "}));
  EXPECT_EQ(working, Lines({" A = 1 ; "}));
  ASSERT_EQ(ui.log.size(), 2u);
  EXPECT_EQ(GbkToUtf8(ui.log[0]), "--------------------中间文本TempList与当前进度list行数不符！ 4/1  ！！！！！！！！！！！");
  EXPECT_EQ(GbkToUtf8(ui.log[1]), "--------------------中间文本TempList与当前进度list行数不符！ 3/1  ！！！！！！！！！！！");
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(GbkToUtf8(ui.messages[1].caption), "确认信息");
  EXPECT_EQ(GbkToUtf8(ui.messages[1].text), "中间文本TempList与当前进度list行数不符！");
  EXPECT_EQ(ui.messages[1].icon, MessageIcon::kError);
}

// A constant whose string holds colons, braces or semicolons is a constant:
// it is restored, never taken for a structure or a variable, and its text
// stays as written.
TEST(StringLiterals, ConstantsWithSymbolsInStringsStayConstants) {
  const std::string declared = " SLabel = \"Width: {0};\" + W ; ";
  const std::string laid_out = " SLabel = \"Width: {0};\" + 10 ; ";
  LineList working = Lines({laid_out});
  LineList reference = Lines({declared});
  RecordingFrontEnd ui;
  EXPECT_TRUE(RestoreDeclarations(working, reference, ui));
  EXPECT_EQ(working.Get(0), declared);

  working = Lines({laid_out});
  ConvertToAccessorFormat(working, reference, LineList());
  EXPECT_EQ(working.Get(0), laid_out);

  EXPECT_TRUE(RemoveVariableDeclarations(working, reference, ui));
  EXPECT_EQ(reference, Lines({declared}));
  EXPECT_EQ(working, Lines({laid_out}));
}

// ---- Operator evaluation ----------------------------------------------------

TEST(EvaluateOperators, ReducesConstantExpressionsInPlace) {
  const struct {
    const char* before;
    const char* after;
  } cases[] = {
      {" MaxListSize = Maxint div 16 ; ", " MaxListSize = 2047 ; "},
      {" x : [ 0 .. MAXPATHLEN - 1 ] of Char ; ", " x : [ 0 .. 254 ] of Char ; "},
      // No precedence but the order of the operators: "+" before "-".
      {" A = 10 - 2 + 3 ; ", " A = 5 ; "},
      {" B = 2 + 3 * 4 ; ", " B = 14 ; "},
      {" C = 7 mod 3 ; ", " C = 1 ; "},
      {" C = -7 mod 3 ; ", " C = -1 ; "},
      {" C = -7 div 2 ; ", " C = -3 ; "},
      {" D = 1 shl 4 ; ", " D = 16 ; "},
      {" D = 256 SHR 4 ; ", " D = 16 ; "},
      {" D = 4294967295 shr 16 ; ", " D = 65535 ; "},
      {" E = 12 and 10 ; ", " E = 8 ; "},
      {" E = 12 or 10 ; ", " E = 14 ; "},
      {" E = 12 xor 10 ; ", " E = 6 ; "},
      {" F = Maxint * Maxint ; ", " F = 1073676289 ; "},
      // A right operand may name a structure laid out already.
      {" G = 2 * TS ; ", " G = 16 ; "},
      {" G = TS * 2 ; ", " G = TS * 2 ; "},
      // Parentheses go with the single operation directly inside them.
      {" H = ( 2 * 3 ) + 1 ; ", " H = 7 ; "},
      {" H = ( 2 + 3 ) * 4 ; ", " H = 5 * 4 ; "},
      {" H = ( 1 + 2 + 3 ) ; ", " H = ( 3 + 3 ) ; "},
      {" I = Unknown * 2 ; ", " I = Unknown * 2 ; "},
      {" S = \"2 * 3\" ; ", " S = \"2 * 3\" ; "},
  };
  for (const auto& c : cases) {
    LineList list = Lines({" Maxint = 32767 ; ", " MAXPATHLEN = 255 ; ",
                           " TS = { nWholeSize : 8 ; nAddSize : 6 ; nMaxSize : 2 ; } ; ", c.before});
    EvaluateOperators(list);
    EXPECT_EQ(list.Get(3), c.after) << "before: " << c.before;
  }
}

TEST(EvaluateOperators, OperationsWithoutA32BitValueStayAsWritten) {
  const char* const cases[] = {
      " A = 8 div 0 ; ",           " A = 8 mod 0 ; ",         " A = 2147483647 + 1 ; ",
      " A = -2147483648 - 1 ; ",   " A = 65536 * 65536 ; ",   " A = -2147483648 div -1 ; ",
      " A = 1 shl 32 ; ",          " A = 1 shl -1 ; ",        " A = 1 shl 31 ; ",
      " A = 1 shr 32 ; ",          " A = -1 shr 1 ; ",        " A = 4294967296 and 1 ; ",
      " A = 99999999999999999999 * 1 ; ",
  };
  for (const char* line : cases) {
    LineList list = Lines({line});
    EvaluateOperators(list);
    EXPECT_EQ(list.Get(0), line);
  }
}

TEST(EvaluateOperators, ParenthesisedSingleOperandsBecomeTheirValue) {
  const struct {
    const char* before;
    const char* after;
  } cases[] = {
      {" Name : array [ 0 .. ( LF_FACESIZE ) - 1 ] of Char ; ", " Name : array [ 0 .. 31 ] of Char ; "},
      {" X = ( ( 5 ) ) * 2 ; ", " X = 10 ; "},
      // Parentheses around anything but a number stay.
      {" TOne = ( oneValue ) ; ", " TOne = ( oneValue ) ; "},
      {" S = \"( 5 ) - 1\" ; ", " S = \"( 5 ) - 1\" ; "},
  };
  for (const auto& c : cases) {
    LineList list = Lines({" LF_FACESIZE = 32 ; ", c.before});
    EvaluateOperators(list);
    EXPECT_EQ(list.Get(1), c.after) << "before: " << c.before;
  }
}

TEST(EvaluateOperators, LaterLinesSeeEarlierResults) {
  LineList list = Lines({" A1 = 2 * 3 ; ", " A2 = A1 + 1 ; "});
  EvaluateOperators(list);
  EXPECT_EQ(list, Lines({" A1 = 6 ; ", " A2 = 7 ; "}));
}

// ---- Accessor format --------------------------------------------------------

// The lists as the accessor format meets them, reduced to what the members
// below need.
struct AccessorLists {
  LineList working;
  LineList reference;
  LineList snapshot;

  AccessorLists(std::vector<std::string> laid_out, std::vector<std::string> declared) {
    std::vector<std::string> w = Shared(), r = Shared();
    w.insert(w.end(), laid_out.begin(), laid_out.end());
    r.insert(r.end(), declared.begin(), declared.end());
    working = LineList(w);
    reference = LineList(r);
  }

  static std::vector<std::string> Shared() {
    return {" vt_Integer = 1 ; ",   " vt_Byte = 7 ; ",  " vt_Word = 8 ; ",
            " vt_Function = 57 ; ", " vt_Procedure = 58 ; ", " Integer = 4 ; ",
            " Word = 2 ; ",         " PInteger = ^Integer ; "};
  }
  void Convert() { ConvertToAccessorFormat(working, reference, snapshot); }
  const std::string& Line(size_t k) const { return working.Get(Shared().size() + k); }
  const std::string& Declared(size_t k) const { return reference.Get(Shared().size() + k); }
};

TEST(AccessorFormat, EveryMemberGetsItsOffsetAndDescriptor) {
  AccessorLists lists({" TItem = { X : 0 ; P : 4 ; A : 8 ; } ; "},
                      {" TItem = { X : Word ; P : PInteger ; A : array [ 0 .. 3 ] of Integer ; } ; "});
  lists.Convert();
  EXPECT_EQ(lists.Line(0),
            " TItem = { X : { 0,vt_Word}  ; P : { 4,-1,vt_Integer}  ; A : { 8,4,vt_Integer}  ; } ; ");
}

TEST(AccessorFormat, VariableOutsideAStructureSitsAtOffsetZero) {
  AccessorLists lists({" Count : 4 ; "}, {" Count : Integer ; "});
  lists.Convert();
  EXPECT_EQ(lists.Line(0), " Count : { 0,vt_Integer}  ; ");
}

TEST(AccessorFormat, LinesWithoutMembersOrCounterpartStayAsTheyAre) {
  AccessorLists lists({" TBad = { a : TUnknown ; } ; ", " TProc = 4 ; ", " TEmpty = { } ; ", " Extra : 4 ; "},
                      {" tbad = { a : TUnknown ; } ; ", " TProc = procedure ( A : Integer ) ; ", " TEmpty = { } ; "});
  const LineList before = lists.working;
  lists.Convert();
  EXPECT_EQ(lists.working, before);
}

// Colons and semicolons of a parameter list belong to the member's type.
TEST(AccessorFormat, MembersArePairedAtBracketDepthZero) {
  AccessorLists lists(
      {" TEvents = { OnA : 0 ; OnB : 4 ; F1 : 8 ; Tag : 12 ; } ; "},
      {" TEvents = { OnA : procedure ( Sender : TObject ) of object ; "
       "OnB : procedure ( Sender : TObject ; var Done : Boolean ) of object ; "
       "F1 : function : Integer ; Tag : Word ; } ; "});
  lists.Convert();
  EXPECT_EQ(lists.Line(0),
            " TEvents = { OnA : { 0,vt_Procedure}  ; OnB : { 4,vt_Procedure}  ; F1 : { 8,vt_Function}  ; "
            "Tag : { 12,vt_Word}  ; } ; ");
}

TEST(AccessorFormat, SymbolsInsideStringsDoNotDelimitMembers) {
  // A short string whose length is counted from a literal that holds
  // closing brackets and a semicolon.
  AccessorLists lists({" TTagged = { Tag : 0 ; Size : 4 ; } ; "},
                      {" TTagged = { Tag : String [ Length ( \"]);\" ) ] ; Size : Integer ; } ; "});
  lists.Convert();
  EXPECT_EQ(lists.Line(0), " TTagged = { Tag : { 0,vt_ShortString}  ; Size : { 4,vt_Integer}  ; } ; ");
}

TEST(AccessorFormat, MembersBeyondTheDeclaredOnesGetNoBorrowedType) {
  AccessorLists lists({" TRec = { a : 0 ; b : 2 ; c : 4 ; d : 6 ; } ; "}, {" TRec = { a : Word ; } ; "});
  lists.Convert();
  EXPECT_EQ(lists.Line(0), " TRec = { a : { 0,vt_Word}  ; b : { 2,}  ; c : { 4,}  ; d : { 6,}  ; } ; ");
}

// These need the real compaction, field-group split and loosening.
bool NameSplittingAvailable() {
  std::string probe = "a,b:Integer;";
  return LoosenLine("a;b") != "a;b" && SplitGroupsInCompactLine(probe);
}

TEST(SplitMemberNames, EveryNameOfAGroupGetsItsOwnType) {
  if (!NameSplittingAvailable()) GTEST_SKIP() << "needs the normalisation and size groups";
  std::string line = " TRec = { a , b , c : Word ; d : Byte ; } ; ";
  EXPECT_TRUE(SplitMemberNames(line));
  EXPECT_EQ(line, " TRec = { a : Word ; b : Word ; c : Word ; d : Byte ; } ; ");

  std::string single = " TRec = { a : Word ; } ; ";
  EXPECT_FALSE(SplitMemberNames(single));
  EXPECT_EQ(single, " TRec = { a : Word ; } ; ");

  std::string quoted = " S = \"a, b: c;\" ; ";
  EXPECT_FALSE(SplitMemberNames(quoted));
  EXPECT_EQ(quoted, " S = \"a, b: c;\" ; ");
}

TEST(AccessorFormat, FieldGroupsArePairedNameByName) {
  if (!NameSplittingAvailable()) GTEST_SKIP() << "needs the normalisation and size groups";
  AccessorLists lists({" TRec = { a : 0 ; b : 2 ; c : 4 ; } ; "}, {" TRec = { a , b , c : Word ; } ; "});
  lists.Convert();
  EXPECT_EQ(lists.Declared(0), " TRec = { a : Word ; b : Word ; c : Word ; } ; ");
  EXPECT_EQ(lists.Line(0), " TRec = { a : { 0,vt_Word}  ; b : { 2,vt_Word}  ; c : { 4,vt_Word}  ; } ; ");
}

TEST(AccessorFormat, GroupsOfProceduralMembersKeepTheirParameterLists) {
  if (!NameSplittingAvailable()) GTEST_SKIP() << "needs the normalisation and size groups";
  AccessorLists lists({" TEvents = { OnA : 0 ; OnB : 4 ; } ; "},
                      {" TEvents = { OnA , OnB : procedure ( Sender : TObject ) of object ; } ; "});
  lists.Convert();
  EXPECT_EQ(lists.Line(0), " TEvents = { OnA : { 0,vt_Procedure}  ; OnB : { 4,vt_Procedure}  ; } ; ");
}

// ---- Any input ----------------------------------------------------------------

// Lines made of the pieces the stages look for, in any order: unbalanced
// brackets, stray quotes, cyclic aliases, missing semicolons. Every stage
// must end and stay inside its strings (the sanitizer build checks the
// latter).
std::string RandomLine(std::mt19937& random) {
  static const char* const kPieces[] = {
      " ",  ":",  ";",  "{",  "}",   "(",        ")",        "[",         "]",         "=",  ",",  "\"", "^",
      "..", "-",  "*",  "0",  "7",   "-1",       "$10",      "1_256",     "4A40",      "TA", "TB", "PA",  "PB",
      " array of ", " array ", " of ", " set of ", " String [ ", " procedure ", " function ", " div ", " mod ",
      " shl ", " shr ", " and ", " xor ", " + ", " - ", " * ", " nWholeSize ", " setmetatable ", "vt_",
  };
  std::uniform_int_distribution<size_t> piece(0, std::size(kPieces) - 1);
  std::uniform_int_distribution<int> length(0, 24);
  std::string line;
  for (int n = length(random); n > 0; --n) line += kPieces[piece(random)];
  return line;
}

TEST(AccessorStages, AnyInputEnds) {
  std::mt19937 random(20240611);
  const std::vector<std::string> aliases = {" TA = TB ; ", " TB = TA ; ", " PA = ^PB ; ", " PB = ^PA ; ",
                                            " vt_TA = 1 ; ", " TA = 4 ; "};
  for (int round = 0; round < 300; ++round) {
    std::vector<std::string> w = aliases, r = aliases;
    const int lines = static_cast<int>(random() % 8);
    for (int k = 0; k < lines; ++k) {
      w.push_back(RandomLine(random));
      r.push_back(RandomLine(random));
    }
    if (round % 3 == 0) r.pop_back();
    LineList working(w), reference(r), snapshot(w);
    RecordingFrontEnd ui;
    RestoreDeclarations(working, reference, ui);
    EvaluateOperators(working);
    EvaluateOperators(reference);
    ConvertToAccessorFormat(working, reference, snapshot);
    RemoveVariableDeclarations(working, reference, ui);
    for (int k = 0; k < 4; ++k) ResolveTypeDescriptor(working, reference, snapshot, RandomLine(random));
    std::string line = RandomLine(random);
    SplitMemberNames(line);
  }
  SUCCEED();
}

}  // namespace
}  // namespace ct::testing
