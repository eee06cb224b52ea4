// The size stages line by line: notations replaced by sizes, tables merged,
// field groups split and references to named values replaced.
#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <vector>

#include "pipeline/fields.h"
#include "pipeline/line_forms.h"
#include "pipeline/normalise/normalise.h"
#include "pipeline/sizes/sizes.h"
#include "text/line_list.h"

namespace ct::testing {
namespace {

using Lines = std::vector<std::string>;

// The lines as written serve as the declarations a set's base is looked up
// in, as the reference list does in a run.
Lines Substituted(Lines lines) {
  const LineList declarations(lines);
  LineList list(std::move(lines));
  SubstituteTypeSizes(list, declarations);
  return list.Lines();
}

// The constants and types a line may refer to, ahead of the line under test.
const Lines kConstants = {" N = 10 ; ", " Byte = 1 ; ", " Sixteen = 16 ; ",
                          " TNine = ( n1 , n2 , n3 , n4 , n5 , n6 , n7 , n8 , n9 ) ; ", " TTens = 10 .. 39 ; ",
                          " TTensToo = TTens ; "};

std::string SubstitutedAfterConstants(const std::string& line) {
  Lines lines = kConstants;
  lines.push_back(line);
  return Substituted(lines).back();
}

std::string Enumeration(int members) {
  std::string line = " TE = ( e0";
  for (int i = 1; i < members; ++i) line += " , e" + std::to_string(i);
  return line + " ) ; ";
}

struct LineCase {
  const char* what;
  std::string in;
  std::string out;
};
void PrintTo(const LineCase& c, std::ostream* os) { *os << c.what; }

class SubstituteTypeSizesLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(SubstituteTypeSizesLine, GivesTheSize) {
  EXPECT_EQ(SubstitutedAfterConstants(GetParam().in), GetParam().out) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Notations, SubstituteTypeSizesLine,
    ::testing::Values(
        LineCase{"dynamic array", " X : array of Integer ; ", " X : 4 ; "},
        LineCase{"static array keeps its bounds", " X : array [ 0 .. 3 ] of Integer ; ",
                 " X : [ 0 .. 3 ] of Integer ; "},
        LineCase{"word range", " W : Low ( Word ) .. High ( Word ) ; ", " W : 0 .. 65535 ; "},
        LineCase{"bounds of a type", " C = Low ( Shortint ) + High ( TNine ) ; ", " C = -128 + 8 ; "},
        LineCase{"bounds of an unknown type", " C = High ( TFoo ) ; ", " C = High ( TFoo ) ; "},
        LineCase{"indexes that are types", " X : array [ Boolean , TNine ] of Byte ; ",
                 " X : [ 0 .. 1 , 0 .. 8 ] of Byte ; "},
        LineCase{"an index through an alias of a range", " X : array [ TTensToo ] of Byte ; ",
                 " X : [ 10 .. 39 ] of Byte ; "},
        LineCase{"an index bounded by a type's bounds", " X : array [ Low ( TNine ) .. High ( TNine ) ] of Byte ; ",
                 " X : [ 0 .. 8 ] of Byte ; "},
        LineCase{"an index of characters", " X : array [ \"a\" .. \"c\" , 0 .. 1 ] of Byte ; ",
                 " X : [ 97 .. 99 , 0 .. 1 ] of Byte ; "},
        LineCase{"an index of an unknown type", " X : array [ TFoo ] of Byte ; ", " X : [ TFoo ] of Byte ; "},
        LineCase{"constant bounds stay for the layout", " X : array [ 0 .. N - 1 ] of Byte ; ",
                 " X : [ 0 .. N - 1 ] of Byte ; "},
        LineCase{"a range of enumeration members", " X : n2 .. n4 ; ", " X : 1 .. 3 ; "},
        LineCase{"procedural field", " FOnChange : procedure ; ", " FOnChange : pointer ;"},
        LineCase{"method field", " OnA : procedure ( Sender : TObject ) of object ; ", " OnA : 4_8 ;"},
        LineCase{"method function field", " OnQ : function : Boolean of object ; ", " OnQ : 4_8 ;"},
        LineCase{"method type", " TNotifyEvent = procedure ( Sender : TObject ) of object ; ",
                 " TNotifyEvent = 4_8 ;"},
        LineCase{"function field", " F : function : Integer ; ", " F : pointer ;"},
        LineCase{"procedural type", " TProc = procedure ( Sender : TObject ) ; ", " TProc = 4 ;"},
        LineCase{"function type", " TFunc = FUNCTION ( A : Integer ) : Boolean ; ", " TFunc = 4 ;"},
        LineCase{"enumerated set", " TSD = set of ( sdDelimiter , sdQuoteChar , sdNameValueSeparator ) ; ",
                 " TSD = 1 ; "},
        LineCase{"set of seven", " S = set of ( a , b , c , d , e , f , g ) ; ", " S = 1 ; "},
        LineCase{"set of eight", " S = set of ( a , b , c , d , e , f , g , h ) ; ", " S = 1 ; "},
        LineCase{"set of nine", " S = set of ( a , b , c , d , e , f , g , h , i ) ; ", " S = 1_2 ; "},
        LineCase{"byte range set", " TBytes = set of 0 .. 255 ; ", " TBytes = 1_32 ; "},
        LineCase{"range of eight", " S : set of 0 .. 7 ; ", " S : 1 ; "},
        LineCase{"range from the second byte on", " S : set of 8 .. 15 ; ", " S : 1 ; "},
        LineCase{"range over three bytes", " S : set of 30 .. 40 ; ", " S : 1_3 ; "},
        LineCase{"range bound by a constant", " S : set of 1 .. Sixteen ; ", " S : 1_3 ; "},
        LineCase{"range in hexadecimal", " S : set of 0 .. $10 ; ", " S : 1_3 ; "},
        LineCase{"range of characters", " S : set of \"a\" .. \"z\" ; ", " S : 1_4 ; "},
        LineCase{"range of unknown names", " S : set of a .. z ; ", " S : 1 ; "},
        LineCase{"set of an unknown type", " S : set of TFoo ; ", " S : 1 ; "},
        LineCase{"set of Char", " S : set of Char ; ", " S : 1_32 ; "},
        LineCase{"set of Byte in another case", " S : SET OF byte ; ", " S : 1_32 ; "},
        LineCase{"set of Boolean", " S : set of Boolean ; ", " S : 1 ; "},
        LineCase{"set of a named enumeration", " S : set of TNine ; ", " S : 1_2 ; "},
        LineCase{"set of a named range through an alias", " S : set of TTensToo ; ", " S : 1_4 ; "},
        LineCase{"enumeration", " TDuplicates = ( dupIgnore , dupAccept , dupError ) ; ",
                 " TDuplicates = 1 ; "},
        LineCase{"enumeration of 254", Enumeration(254), " TE = 1 ; "},
        LineCase{"enumeration with values", " TV = ( vA = 1 , vB = 5 ) ; ", " TV = 1 ; "},
        LineCase{"enumeration with a value past a byte", " TV = ( vA , vB = 300 ) ; ", " TV = 2 ; "},
        LineCase{"enumeration with a value past a word", " TV = ( vA , vB = 70000 ) ; ", " TV = 4 ; "},
        LineCase{"enumeration with a negative value", " TV = ( vA = - 1 , vB ) ; ", " TV = 1 ; "},
        LineCase{"enumeration with a value of a constant", " TV = ( vA , vB = N , vC ) ; ", " TV = 1 ; "},
        LineCase{"enumeration written in a field", " mode : ( mIdle , mBusy , mDone ) ; ", " mode : 1 ; "},
        LineCase{"parenthesised expression", " D = ( 2 + 3 ) * 4 ; ", " D = ( 2 + 3 ) * 4 ; "},
        LineCase{"parenthesised sum", " D = ( A + B ) ; ", " D = ( A + B ) ; "},
        LineCase{"parenthesised constant times", " D = ( N ) * 2 ; ", " D = ( N ) * 2 ; "},
        LineCase{"enumeration of 256", Enumeration(256), " TE = 1 ; "},
        LineCase{"enumeration of 257", Enumeration(257), " TE = 2 ; "},
        LineCase{"pointer", " P : ^TFoo ; ", " P : 4 ; "},
        LineCase{"dynamic array of short strings", " X : array of String [ 20 ] ; ", " X : 4 ; "},
        LineCase{"second pointer of a field stays", " P : ^TFoo ^TBar ; ", " P : 4 ^TBar ; "},
        LineCase{"hexadecimal", " X = $FF ; ", " X = 255 ; "},
        LineCase{"hexadecimal digits only", " X = $10 ; ", " X = 16 ; "},
        LineCase{"all sixteen digits", " X = $FFFFFFFFFFFFFFFF ; ", " X = -1 ; "},
        LineCase{"second hexadecimal of a field stays", " R : [ $0A .. $1F ] of Byte ; ",
                 " R : [ 10 .. $1F ] of Byte ; "},
        LineCase{"short string", " S : String [ 255 ] ; ", " S : 1_256 ; "},
        LineCase{"short string any case", " sName : string [ 20 ] ; ", " sName : 1_21 ; "},
        LineCase{"short string of a constant length", " S : String [ N ] ; ", " S : 1_11 ; "},
        LineCase{"short string of an expression", " S : String [ N - 1 ] ; ", " S : String [ N - 1 ] ; "},
        LineCase{"short string of an unknown length", " S : String [ M ] ; ", " S : String [ M ] ; "},
        LineCase{"plain field", " X : Longint ; ", " X : Longint ; "}));

// Notations that cannot be completed must leave the line as it is.
INSTANTIATE_TEST_SUITE_P(
    Incomplete, SubstituteTypeSizesLine,
    ::testing::Values(LineCase{"unclosed enumerated set", " S = set of ( a , b ; ", " S = 1 ; "},
                      LineCase{"unclosed enumeration", " E = ( a , b ; ", " E = ( a , b ; "},
                      LineCase{"range without its semicolon", " S = set of 0 .. 7 ", " S = 1 "},
                      LineCase{"range bound too large", " S = set of 0 .. 99999999999999999999 ; ", " S = 1 ; "},
                      LineCase{"unclosed short string", " S : String [ 5 ; ", " S : String [ 5 ; "},
                      LineCase{"empty short string", " S : String [ ] ; ", " S : String [ ] ; "},
                      LineCase{"pointer at the end", " P : ^TFoo", " P : 4"},
        LineCase{"pointer to an unclosed bracket", " P : ^String [ 20 ; ", " P : 4 [ 20 ; "},
                      LineCase{"lone caret", " P : ^ ; ", " P : 4 ; "}));

// A "$" token that is no hexadecimal number of 64 bits stays for the user to
// see, instead of becoming a made-up value.
INSTANTIATE_TEST_SUITE_P(
    HexadecimalTokens, SubstituteTypeSizesLine,
    ::testing::Values(LineCase{"letters beyond F", " X = $FG ; ", " X = $FG ; "},
                      LineCase{"dollar alone", " X = $ ; ", " X = $ ; "},
                      LineCase{"seventeen digits", " X = $1FFFFFFFFFFFFFFFF ; ", " X = $1FFFFFFFFFFFFFFFF ; "},
                      LineCase{"leading zeros do not count", " X = $00000000000000000001 ; ", " X = 1 ; "},
                      LineCase{"lower case digits", " X = $ff ; ", " X = 255 ; "}));

// A line may hold several fields: a one-line table, or a longer table's
// fields written side by side. Each field gets its own size.
INSTANTIATE_TEST_SUITE_P(
    SeveralFieldsOnALine, SubstituteTypeSizesLine,
    ::testing::Values(
        LineCase{"pointers", " TNode = { Next : ^TNode ; Prev : ^TNode ; Data : Pointer ; } ; ",
                 " TNode = { Next : 4 ; Prev : 4 ; Data : Pointer ; } ; "},
        LineCase{"short strings", " s : String [ 20 ] ; t : String [ 30 ] ; ", " s : 1_21 ; t : 1_31 ; "},
        LineCase{"range sets", " T = { a : set of 0 .. 7 ; b : set of 0 .. 15 ; } ; ",
                 " T = { a : 1 ; b : 1_2 ; } ; "},
        LineCase{"enumerated sets", " a : set of ( x , y ) ; b : set of ( a , b , c , d , e , f , g , h , i ) ; ",
                 " a : 1 ; b : 1_2 ; "},
        LineCase{"hexadecimal bounds", " a : [ 0 .. $1F ] of Byte ; b : [ 0 .. $FF ] of Byte ; ",
                 " a : [ 0 .. 31 ] of Byte ; b : [ 0 .. 255 ] of Byte ; "},
        LineCase{"enumerations", " E = ( a , b ) ; F = ( c , d ) ; ", " E = 1 ; F = 1 ; "},
        LineCase{"pointer elements", " T = { P : ^TA ; Q : [ 0 .. 1 ] of ^TB ; } ; ",
                 " T = { P : 4 ; Q : [ 0 .. 1 ] of 4 ; } ; "}));

// A procedural field among others becomes a pointer field on its own; the
// fields after it and the closing brace stay.
INSTANTIATE_TEST_SUITE_P(
    ProceduralAmongOthers, SubstituteTypeSizesLine,
    ::testing::Values(
        LineCase{"field in a one-line record", " TRec = { a : Byte ; OnDone : procedure ; b : Word ; } ; ",
                 " TRec = { a : Byte ; OnDone : pointer ; b : Word ; } ; "},
        LineCase{"only field of a one-line record", " TRec = { OnDone : procedure ; } ; ",
                 " TRec = { OnDone : pointer ; } ; "},
        LineCase{"parameter list with semicolons",
                 " T = { OnA : procedure ( Sender : TObject ; Code : Integer ) of object ; F : function : Integer ; "
                 "x : ^TFoo ; } ; ",
                 " T = { OnA : 4_8 ; F : pointer ; x : 4 ; } ; "},
        LineCase{"two procedural types", " TProc = procedure ; TFunc = function ( A : Integer ) : Boolean ; ",
                 " TProc = 4 ; TFunc = 4 ; "},
        LineCase{"last field without semicolon", " a : Byte ; OnDone : procedure", " a : Byte ; OnDone : pointer ;"}));

TEST(SubstituteTypeSizes, AProceduralFieldLeavesTheNextDeclarationsToTheMerge) {
  LineList working(Lines{" TRec = { a : Byte ; OnDone : procedure ; b : Word ; } ; ", " B = 2 ; "}), scratch;
  SubstituteTypeSizes(working, LineList());
  MergeTableLines(working, scratch);
  EXPECT_EQ(working.Lines(), (Lines{" TRec = { a : Byte ; OnDone : pointer ; b : Word ; } ; ", " B = 2 ; "}));
}

// Words and signs inside string constants are text, not notations.
INSTANTIATE_TEST_SUITE_P(
    StringConstants, SubstituteTypeSizesLine,
    ::testing::Values(
        LineCase{"array words", " S = \"an array of words\" ; ", " S = \"an array of words\" ; "},
        LineCase{"function after a colon", " Msg = \"Error: function failed\" ; ",
                 " Msg = \"Error: function failed\" ; "},
        LineCase{"set words", " S = \"a set of things\" ; ", " S = \"a set of things\" ; "},
        LineCase{"caret", " S = \"x^y\" ; ", " S = \"x^y\" ; "},
        LineCase{"dollar", " S = \"Cost $5\" ; ", " S = \"Cost $5\" ; "},
        LineCase{"short string words", " S = \"a String [ 5 ] here\" ; ", " S = \"a String [ 5 ] here\" ; "},
        LineCase{"semicolon between fields",
                 " S = \"a ; b\" ; P = ^TFoo ; ", " S = \"a ; b\" ; P = 4 ; "},
        LineCase{"notation after a string", " T = { s : \"^\" ; p : ^TFoo ; } ; ",
                 " T = { s : \"^\" ; p : 4 ; } ; "},
        LineCase{"procedural type removes its strings whole",
                 " TProc = procedure ( s : String = \"a\" ) ; B = \"b\" ; ", " TProc = 4 ; B = \"b\" ; "}));

TEST(SubstituteTypeSizes, ReadsConstantsDeclaredLaterToo) {
  Lines out = Substituted({" S : String [ Len ] ; ", " Len = 7 ; "});
  EXPECT_EQ(out[0], " S : 1_8 ; ");
}

// ---- Table merge --------------------------------------------------------------

Lines Merged(Lines lines) {
  LineList working(std::move(lines)), scratch;
  MergeTableLines(working, scratch);
  return working.Lines();
}

TEST(MergeTableLines, PutsEachTableOnOneLine) {
  Lines in = {" Longint = 4 ; ",  " TPoint = packed { ", " X : Longint ; ",        " Y : Longint ; ", "} ; ",
              " TObject = { Vmt : Pointer ;", "} ; ",     " TE = {} ; ", " setmetatable ( TItem , TObject ) ; "};
  Lines expected = {" Longint = 4 ; ", " TPoint = packed {  X : Longint ;  Y : Longint ; } ; ",
                    " TObject = { Vmt : Pointer ;} ; ", " TE = {} ; ", " setmetatable ( TItem , TObject ) ; "};
  EXPECT_EQ(Merged(in), expected);
}

TEST(MergeTableLines, KeepsACopyInTheScratchList) {
  LineList working(Lines{" A = { ", "} ; "}), scratch(Lines{" old "});
  MergeTableLines(working, scratch);
  EXPECT_EQ(scratch.Lines(), (Lines{" A = { ", "} ; "}));
}

TEST(MergeTableLines, BracesInStringsOpenAndCloseNothing) {
  Lines in = {" SText = \"Press { to begin\" ; ", " TA = { ", " X : 4 ; ", " SEnd = \"} ; done\" ; ",
              "} ; ", " B = 2 ; "};
  Lines expected = {" SText = \"Press { to begin\" ; ", " TA = {  X : 4 ;  SEnd = \"} ; done\" ; } ; ", " B = 2 ; "};
  EXPECT_EQ(Merged(in), expected);
}

TEST(MergeTableLines, DropsATableThatNeverCloses) {
  EXPECT_EQ(Merged({" A = 1 ; ", " T = { ", " X : 4 ; "}), (Lines{" A = 1 ; "}));
}

// ---- Field groups ---------------------------------------------------------------

struct CompactCase {
  const char* what;
  std::string in;
  std::string out;
};
void PrintTo(const CompactCase& c, std::ostream* os) { *os << c.what; }

class SplitGroupsInCompactLineCase : public ::testing::TestWithParam<CompactCase> {};

TEST_P(SplitGroupsInCompactLineCase, SplitsEveryGroup) {
  std::string line = GetParam().in;
  bool changed = SplitGroupsInCompactLine(line);
  EXPECT_EQ(line, GetParam().out) << GetParam().what;
  EXPECT_EQ(changed, GetParam().in != GetParam().out) << GetParam().what;
}

INSTANTIATE_TEST_SUITE_P(
    Groups, SplitGroupsInCompactLineCase,
    ::testing::Values(
        CompactCase{"pair", " A,B:Integer;", " A:Integer;B:Integer;"},
        CompactCase{"three names", " A,B,C:Byte;", " A:Byte;B:Byte;C:Byte;"},
        CompactCase{"groups in a table", " T={A,B:Byte;C:Word;D,E:1_21;};",
                    " T={A:Byte;B:Byte;C:Word;D:1_21;E:1_21;};"},
        CompactCase{"bounds of two dimensions stay", " T={M:[0..1,0..2]of Byte;};", " T={M:[0..1,0..2]of Byte;};"},
        CompactCase{"no colon", " setmetatable(TItem,TObject);", " setmetatable(TItem,TObject);"},
        CompactCase{"no comma", " T={A:Byte;};", " T={A:Byte;};"},
        CompactCase{"group without its semicolon", " A,B:Integer", " A:B:Integer"},
        CompactCase{"colon first", ":A,B", ":A,B"},
        CompactCase{"comma opening the line", ",A:Byte;", ",A:Byte;"},
        CompactCase{"empty", "", ""}));

// The names of a field end at its first colon outside brackets, and its type
// runs to the semicolon outside brackets: a parameter list is part of the type.
INSTANTIATE_TEST_SUITE_P(
    ProceduralTypes, SplitGroupsInCompactLineCase,
    ::testing::Values(
        CompactCase{"method pointers", " T={OnA,OnB:procedure(Sender:TObject)of object;};",
                    " T={OnA:procedure(Sender:TObject)of object;OnB:procedure(Sender:TObject)of object;};"},
        CompactCase{"function type", " F1,F2:function:Integer;", " F1:function:Integer;F2:function:Integer;"},
        CompactCase{"parameters with semicolons", " M,N:procedure(A:Integer;B:Integer);",
                    " M:procedure(A:Integer;B:Integer);N:procedure(A:Integer;B:Integer);"},
        CompactCase{"parameter group", " P:procedure(A,B:Integer);", " P:procedure(A,B:Integer);"},
        CompactCase{"string constant", " S=\"a,b:c\";", " S=\"a,b:c\";"},
        CompactCase{"group after a string", " T={S:\";x\";A,B:Byte;};", " T={S:\";x\";A:Byte;B:Byte;};"},
        CompactCase{"procedural type declaration", " TProc=procedure(Sender:TObject;A,B:Integer)of object;",
                    " TProc=procedure(Sender:TObject;A,B:Integer)of object;"}));

// The loosening and compaction come from the normalisation stages; these
// tests run once those are built.
bool NormalisationBuilt() { return LoosenLine(" X:Y;") != " X:Y;"; }

#define CT_NEEDS_NORMALISATION() \
  if (!NormalisationBuilt()) GTEST_SKIP() << "needs the loosening of the normalisation stages"

TEST(SplitFieldGroupsAfterNormalisation, SplitsGroupsOfTheLoosenedList) {
  CT_NEEDS_NORMALISATION();
  LineList list(Lines{" TItem = {  FName : 1_21 ;  A , B : Integer ;  OnA , OnB : pointer ; } ; ",
                      " setmetatable ( TItem , TObject ) ; ", " A , B : Byte ; ", " X = 5 ; "});
  SplitFieldGroups(list);
  EXPECT_EQ(list.Lines(), (Lines{" TItem = { FName : 1_21 ; A : Integer ; B : Integer ; OnA : pointer ; OnB : pointer ; } ; ",
                                 " setmetatable ( TItem , TObject ) ; ", " A : Byte ; B : Byte ; ", " X = 5 ; "}));
}

// ---- Field references -------------------------------------------------------------

Lines Replaced(Lines lines) {
  LineList list(std::move(lines));
  ReplaceFieldReferences(list);
  return list.Lines();
}

TEST(ReplaceFieldReferences, ReplacesWholeWordsOnly) {
  Lines out = Replaced({" Longint = 4 ; ", " Integer = 4 ; ",
                        " TRect = { Left : Longint ; Top : Longint ; Right : Longint ; Bottom : Longint ; } ; ",
                        " TP = { A : PInteger ; B : Integer ; } ; "});
  EXPECT_EQ(out[2], " TRect = { Left : 4 ; Top : 4 ; Right : 4 ; Bottom : 4 ; } ; ");
  EXPECT_EQ(out[3], " TP = { A : PInteger ; B : 4 ; } ; ");
}

TEST(ReplaceFieldReferences, KeepsMemberNamesThatAreAlsoConstants) {
  Lines out = Replaced({" N = 10 ; ", " Byte = 1 ; ", " T = { n : Byte ; a : [ 0 .. N ] of Byte ; } ; ",
                        " M = n + N ; "});
  EXPECT_EQ(out[2], " T = { n : 1 ; a : [ 0 .. 10 ] of 1 ; } ; ");
  EXPECT_EQ(out[3], " M = 10 + 10 ; ");
}

TEST(ReplaceFieldReferences, IgnoresCaseOfTheUse) {
  EXPECT_EQ(Replaced({" Byte = 1 ; ", " T = { A : BYTE ; } ; "})[1], " T = { A : 1 ; } ; ");
}

TEST(ReplaceFieldReferences, ResolvesAChainInOnePass) {
  Lines out = Replaced({" A = 4 ; ", " B = A ; ", " C = B ; ", " T = { X : C ; } ; "});
  EXPECT_EQ(out, (Lines{" A = 4 ; ", " B = 4 ; ", " C = 4 ; ", " T = { X : 4 ; } ; "}));
}

TEST(ReplaceFieldReferences, ResolvesANameDeclaredFurtherOn) {
  Lines out = Replaced({" T = { X : B ; } ; ", " B = A ; ", " A = 2 ; "});
  EXPECT_EQ(out[0], " T = { X : 2 ; } ; ");
}

TEST(ReplaceFieldReferences, ReplacesBoundsAndElementTypes) {
  Lines out = Replaced({" N = 10 ; ", " Byte = 1 ; ", " TBuf = { Arr : [ 0 .. N ] of Byte ; } ; "});
  EXPECT_EQ(out[2], " TBuf = { Arr : [ 0 .. 10 ] of 1 ; } ; ");
}

TEST(ReplaceFieldReferences, NormalisesTheValue) {
  Lines out = Replaced({" M = - 12 ; ", " H = $10 ; ", " T = { A : [ M .. H ] of 1 ; } ; "});
  EXPECT_EQ(out[2], " T = { A : [ -12 .. 16 ] of 1 ; } ; ");
}

TEST(ReplaceFieldReferences, KeepsTheSizePrefixOfASizedValue) {
  Lines out = Replaced({" ShortString = 1_256 ; ", " TSs = { b : Byte ; s : ShortString ; i : Integer ; } ; ",
                        " TA = { a : [ 0 .. 9 ] of ShortString ; } ; "});
  EXPECT_EQ(out[1], " TSs = { b : Byte ; s : 1_256 ; i : Integer ; } ; ");
  EXPECT_EQ(out[2], " TA = { a : [ 0 .. 9 ] of 1_256 ; } ; ");
}

TEST(ReplaceFieldReferences, KeepsTheSizePrefixThroughAnAliasDeclaredFirst) {
  Lines out = Replaced({" TName = ShortString ; ", " ShortString = 1_256 ; ", " T = { n : TName ; } ; "});
  EXPECT_EQ(out[2], " T = { n : 1_256 ; } ; ");
}

// An expression is no sized form, whatever its digits read as once its
// spaces are gone ("22-1" is no size 1 aligned to 2): it stays for the
// layout's evaluation.
TEST(ReplaceFieldReferences, LeavesExpressionsToTheLayout) {
  Lines out = Replaced({" C1 = 22 - 1 ; ", " CS = 7 - 1 ; ", " T = { a : [ 0 .. CS ] of 1 ; b : [ 0 .. C1 ] of 1 ; } ; "});
  EXPECT_EQ(out, (Lines{" C1 = 22 - 1 ; ", " CS = 7 - 1 ; ", " T = { a : [ 0 .. CS ] of 1 ; b : [ 0 .. C1 ] of 1 ; } ; "}));
}

// The basic types a compiler aligns otherwise than by their size take their
// alignment along, wherever they are named, through aliases too.
TEST(ReplaceFieldReferences, BasicTypesCarryTheirAlignment) {
  Lines out = Replaced({" Extended = 10 ; ", " Real48 = 6 ; ", " Comp = 8 ; ", " Variant = 16 ; ",
                        " OleVariant = Variant ; ", " TFloat = Extended ; ",
                        " T = { e : Extended ; r : Real48 ; c : Comp ; v : OleVariant ; f : TFloat ; "
                        "a : [ 0 .. 2 ] of Extended ; } ; ",
                        " Other = 10 ; ", " U = { o : Other ; } ; "});
  EXPECT_EQ(out[6], " T = { e : 8_10 ; r : 8_6 ; c : 8 ; v : 8_16 ; f : 8_10 ; a : [ 0 .. 2 ] of 8_10 ; } ; ");
  EXPECT_EQ(out[8], " U = { o : 10 ; } ; ");
}

// A type cast has the value in its brackets, not the size of its type.
TEST(ReplaceFieldReferences, ATypeCastKeepsTheValueInItsBrackets) {
  Lines out = Replaced({" Integer = 4 ; ", " X = Integer ( 5 ) + 1 + 2 + 3 + 4 + integer ( 6 ) ; "});
  EXPECT_EQ(out[1], " X = ( 5 ) + 1 + 2 + 3 + 4 + ( 6 ) ; ");
}

TEST(ReplaceFieldReferences, LeavesACallLikeUseWithoutItsClosingBracket) {
  Lines out = Replaced({" Integer = 4 ; ", " X = Integer ( 5 ; "});
  EXPECT_EQ(out[1], " X = 4 ( 5 ; ");
}

TEST(ReplaceFieldReferences, SkipsABareIntegerRightHandSide) {
  Lines out = Replaced({" 5 = 7 ; ", " X = 5 ", " Y = 5 ; "});
  EXPECT_EQ(out, (Lines{" 5 = 7 ; ", " X = 5 ", " Y = 7 ; "}));
}

TEST(ReplaceFieldReferences, LeavesStringContentsAlone) {
  Lines out = Replaced({" Integer = 4 ; ", " S = \" Integer \" ; "});
  EXPECT_EQ(out[1], " S = \" Integer \" ; ");
}

TEST(ReplaceFieldReferences, ReplacesInATableLineOfAnyLength) {
  std::string fields, sized;
  for (int i = 0; i < 2000; ++i) {
    fields += "f" + std::to_string(i) + " : Integer ; ";
    sized += "f" + std::to_string(i) + " : 4 ; ";
  }
  ASSERT_GT(fields.size(), 20479u);
  Lines out = Replaced({" Integer = 4 ; ", " TBig = { " + fields + "} ; "});
  EXPECT_EQ(out[1], " TBig = { " + sized + "} ; ");
}

TEST(ReplaceFieldReferences, ALineWithoutANameReplacesNothing) {
  Lines in = {" MAX ", " = 5 ; ", " T = { A : [ 0 .. MAX ] of Byte ; } ; "};
  EXPECT_EQ(Replaced(in), in);
}

TEST(ReplaceFieldReferences, LinesWithoutAUseKeepTheirText) {
  // Neither a line whose "=" stand inside strings nor one that begins with
  // "=" gains or loses an "=" for a name it does not use.
  Lines in = {" N = 10 ; ", " s : \"a=b\" ; ", "= x ; ", " \"q\" = 4 ; ", " T = { a : \"q\" ; } ; "};
  EXPECT_EQ(Replaced(in), in);
}

TEST(ReplaceFieldReferences, LeavesLinesWithoutANumericValue) {
  Lines in = {" TStr = TOther ; ", " T = { A : TStr ; } ; "};
  EXPECT_EQ(Replaced(in), in);
}

// ---- The four stages on one example --------------------------------------------

const Lines kPreludeSizes = {" Longint = 4 ; ", " Integer = 4 ; ", " Pointer = 4 ; "};

Lines WithPreludeSizes(const Lines& lines) {
  Lines all = kPreludeSizes;
  all.insert(all.end(), lines.begin(), lines.end());
  return all;
}

const Lines kAsTables = WithPreludeSizes(
    {" TPoint = packed { ", " X : Longint ; ", " Y : Longint ; ", "} ; ", " TItem = { ", " FName : String [ 20 ] ; ",
     " A , B : Integer ; ", " FOnChange : procedure ; ", " FFlags : set of ( f1 , f2 , f3 ) ; ", "} ; ",
     " TObject = { Vmt : Pointer ;", "} ; ", " setmetatable ( TItem , TObject ) ; "});

const Lines kSized = WithPreludeSizes(
    {" TPoint = packed { ", " X : Longint ; ", " Y : Longint ; ", "} ; ", " TItem = { ", " FName : 1_21 ; ",
     " A , B : Integer ; ", " FOnChange : pointer ;", " FFlags : 1 ; ", "} ; ", " TObject = { Vmt : Pointer ;",
     "} ; ", " setmetatable ( TItem , TObject ) ; "});

const Lines kMerged = WithPreludeSizes(
    {" TPoint = packed {  X : Longint ;  Y : Longint ; } ; ",
     " TItem = {  FName : 1_21 ;  A , B : Integer ;  FOnChange : pointer ; FFlags : 1 ; } ; ",
     " TObject = { Vmt : Pointer ;} ; ", " setmetatable ( TItem , TObject ) ; "});

const Lines kSplit = WithPreludeSizes(
    {" TPoint = packed { X : Longint ; Y : Longint ; } ; ",
     " TItem = { FName : 1_21 ; A : Integer ; B : Integer ; FOnChange : pointer ; FFlags : 1 ; } ; ",
     " TObject = { Vmt : Pointer ; } ; ", " setmetatable ( TItem , TObject ) ; "});

const Lines kReplaced = WithPreludeSizes(
    {" TPoint = packed { X : 4 ; Y : 4 ; } ; ", " TItem = { FName : 1_21 ; A : 4 ; B : 4 ; FOnChange : 4 ; FFlags : 1 ; } ; ",
     " TObject = { Vmt : 4 ; } ; ", " setmetatable ( TItem , TObject ) ; "});

TEST(WorkedExample, SizeSubstitution) { EXPECT_EQ(Substituted(kAsTables), kSized); }

TEST(WorkedExample, TableMerge) { EXPECT_EQ(Merged(kSized), kMerged); }

TEST(WorkedExample, FieldReferences) { EXPECT_EQ(Replaced(kSplit), kReplaced); }

TEST(WorkedExampleAfterNormalisation, FieldGroups) {
  CT_NEEDS_NORMALISATION();
  LineList list(kMerged);
  SplitFieldGroups(list);
  EXPECT_EQ(list.Lines(), kSplit);
}

TEST(WorkedExampleAfterNormalisation, AllFourStages) {
  CT_NEEDS_NORMALISATION();
  LineList working(kAsTables), scratch;
  SubstituteTypeSizes(working, LineList(kAsTables));
  MergeTableLines(working, scratch);
  SplitFieldGroups(working);
  ReplaceFieldReferences(working);
  EXPECT_EQ(working.Lines(), kReplaced);
}

}  // namespace
}  // namespace ct::testing
