// The normalisation stages, each on small line lists, and the whole sequence
// on a typical declaration block.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pipeline/line_forms.h"
#include "pipeline/normalise/join.h"
#include "pipeline/normalise/normalise.h"

namespace ct::testing {
namespace {

using Lines = std::vector<std::string>;

Lines Apply(void (*stage)(LineList&), const Lines& input) {
  LineList list(input);
  stage(list);
  return list.Lines();
}

struct LinesCase {
  const char* name;
  Lines input;
  Lines expected;
};

struct LineCase {
  const char* input;
  const char* expected;
};

TEST(EscapeInputText, DoublesBackslashesBeforeTurningApostrophesIntoQuotes) {
  EXPECT_EQ(Apply(EscapeInputText, {"P = 'C:\\Temp';", "S = 'It''s';", "E = '\\';", "X: Integer;"}),
            (Lines{"P = \"C:\\\\Temp\";", "S = \"It\"\"s\";", "E = \"\\\\\";", "X: Integer;"}));
}

// A double quote inside a Pascal string is doubled, so that the string
// still reads as adjacent double-quoted strings and nothing in it becomes
// structure; outside a string it stays as it is.
TEST(EscapeInputText, DoublesTheDoubleQuotesThatAStringHolds) {
  EXPECT_EQ(Apply(EscapeInputText, {"S = 'say \"hi\"';", "Q = '\"';", "B = 'a\"{\"b';", "{ \"x\" } T = 'It''s';"}),
            (Lines{"S = \"say \"\"hi\"\"\";", "Q = \"\"\"\";", "B = \"a\"\"{\"\"b\";", "{ \"x\" } T = \"It\"\"s\";"}));
}

TEST(RemoveComments, KeepsTextOutsideCommentsAndStrings) {
  const std::vector<LinesCase> cases = {
      {"line comment", {"x : Integer ; // coords"}, {"x : Integer ; "}},
      {"slashes in a string", {"S = \"a//b\" ; // c"}, {"S = \"a//b\" ; "}},
      {"brace in a string", {"S = \"{x\" ;", "T = 1 ;"}, {"S = \"{x\" ;", "T = 1 ;"}},
      {"star opener in a string", {"S = \"(*\" ;", "T = 1 ;"}, {"S = \"(*\" ;", "T = 1 ;"}},
      {"brace comment over two lines", {"x : Integer ; { a", "and b } y : Byte ;"}, {"x : Integer ;  y : Byte ;"}},
      {"star comment before text", {"(* a *) X : Integer ;"}, {" X : Integer ;"}},
      {"lines wholly inside a comment", {"a", "{", "b ;", "}", "c"}, {"a", "c"}},
      {"comment-only line", {"{ only }", "a"}, {"a"}},
      {"blank lines", {"", "  \t", "a"}, {"a"}},
      {"blank line inside a comment", {"a {", "   ", "} b"}, {"a  b"}},
      {"quote inside a comment", {"a { \" } b \"c\""}, {"a  b \"c\""}},
      {"brace inside a star comment", {"(* { *) x }"}, {" x }"}},
      {"star closer does not close a brace", {"{ *) x } y"}, {" y"}},
      {"second comment left open", {"a { x } b { y", "z } c"}, {"a  b  c"}},
      {"unterminated comment swallows the rest", {"a", "b { c", "d"}, {"a"}},
      {"lone star-paren", {"(*)", "x *)y"}, {"y"}},
      // 倉 is 0x82 0x7D and 亇 0x81 0x7D: the second byte is no "}".
      {"GBK character ending in a brace byte", {"a { \x82}\xBF\xE2 } b", "c"}, {"a  b", "c"}},
      {"GBK brace byte outside a comment", {"S = 1 ; \x81} T = 2 ;"}, {"S = 1 ; \x81} T = 2 ;"}},
      {"lead byte before a real closer", {"a { \x82 } b"}, {"a  b"}},
      // A comment between two words separates them like a space.
      {"comment between words", {"record{ f }end;", "packed(*x*)record"}, {"record end;", "packed record"}},
      {"comment between words over two lines", {"record{", "}end;"}, {"record end;"}},
  };
  auto remove_comments = [](LineList& list) {
    NestingState state;
    RemoveComments(list, state);
  };
  for (const auto& c : cases) EXPECT_EQ(Apply(remove_comments, c.input), c.expected) << c.name;
}

TEST(RemoveComments, RecordsAStrayCloserOrWhereACommentLeftOpenBegan) {
  const struct {
    const char* name;
    Lines input;
    size_t line;
    Pos position;
    bool stray_closer;
  } cases[] = {
      {"brace left open", {"a", "b { c", "d"}, 2, 3, false},
      {"star left open after a closed one", {"a { x } b (* y", "z"}, 1, 11, false},
      {"reopened on the closing line", {"{ a", "} b { c", "d"}, 2, 5, false},
      {"blank lines inside", {"x (* a", "", "  ", "b"}, 1, 3, false},
      {"every comment closed", {"a { x", "} b (* y *)"}, 0, 0, false},
      {"closer of nothing", {"a ;", "b } ; }"}, 2, 3, true},
      {"closer after a closed comment", {"{ x } }"}, 1, 7, true},
      {"stray closer before an open comment", {"a } b", "{ c"}, 1, 3, true},
      {"closers inside strings and star comments", {"S = \"}\" ; (* } *)"}, 0, 0, false},
      {"brace byte of a GBK character", {"x : Byte ; \x82} ;"}, 0, 0, false},
  };
  for (const auto& c : cases) {
    LineList list(c.input);
    NestingState state;
    RemoveComments(list, state);
    EXPECT_EQ(state.comment.line, c.line) << c.name;
    EXPECT_EQ(state.comment.position, c.position) << c.name;
    EXPECT_EQ(state.comment.stray_closer, c.stray_closer) << c.name;
    EXPECT_EQ(state.HasError(), c.line != 0) << c.name;
    if (c.line != 0) {
      EXPECT_EQ(state.comment.text, c.input[c.line - 1]) << c.name;
    }
  }
}

TEST(CompactLine, RemovesSpacesAroundSymbolsOnly) {
  const std::vector<LineCase> cases = {
      {"  X :  Integer;", " X:Integer;"},
      {"\tX\t:\tInteger ;", " X:Integer;"},
      {"TPoint = packed record", " TPoint=packed record "},
      {"A , B : array [ 0 .. 9 ] of Byte ;", " A,B:array[0..9]of Byte;"},
      {"N = ( 1 + 2 ) * - 3", " N=(1+2)*-3 "},
      {"S = \"a ; b\"  ;", " S=\"a ; b\";"},
      {"S = \"It\"\"s\" ;", " S=\"It\"\"s\";"},
      {"T = \"\t\" ;", " T=\"\t\";"},
      {"(a)", "(a)"},
      {"", " "},
      {"\x81[ : Byte ; \x82} [ 1 ]", " \x81[:Byte;\x82}[1]"},
      {"P = ^ TFoo ;", " P=^TFoo;"},
  };
  for (const auto& c : cases) EXPECT_EQ(CompactLine(c.input), c.expected) << c.input;
  EXPECT_EQ(Apply(StripSymbolSpaces, {"  X :  Integer;", "end ;"}), (Lines{" X:Integer;", " end;"}));
}

TEST(LoosenLine, PutsEverySymbolBetweenSingleSpaces) {
  const std::vector<LineCase> cases = {
      {" X:array[0..9]of Integer;", " X : array [ 0 .. 9 ] of Integer ; "},
      {" A:=-1;", " A : = - 1 ; "},
      {" P=^TFoo;M=$FF;", " P = ^TFoo ; M = $FF ; "},
      {" U.Name:a.b;", " U.Name : a.b ; "},
      {" S=\"a:b, (c)\";", " S = \"a:b, (c)\" ; "},
      {" S=\"It\"\"s\";", " S = \"It\"\"s\" ; "},
      {" T={a;b};", " T = { a ; b } ; "},
      {"X", "X"},
      {"(a..b)", " ( a .. b ) "},
      // The second bytes of 0x81 0x5B and 0x82 0x7D are no brackets.
      {" \x81[:Byte;\x82}[1];", " \x81[ : Byte ; \x82} [ 1 ] ; "},
      {" \x81:[\x81", " \x81 : [ \x81"},
  };
  for (const auto& c : cases) EXPECT_EQ(LoosenLine(c.input), c.expected) << c.input;
}

TEST(LoosenLine, IsIdempotent) {
  for (const char* line : {" X:array[0..9]of Integer;", " A:=-1;", "a...b", " S=\"x\"+\"y\";", "\"unpaired:a",
                           " r={ nWholeSize:0;}", "1..-5", ""}) {
    const std::string once = LoosenLine(line);
    EXPECT_EQ(LoosenLine(once), once) << line;
  }
}

struct JoinCase {
  const char* name;
  Lines input;
  Lines statements;
  Pos error_position;
  size_t error_line;
  bool mismatch;
  std::string left_over;
};

TEST(JoinStatements, JoinsWhileBracketsAreOpenAndRecordsTheFirstFault) {
  const std::vector<JoinCase> cases = {
      {"balanced lines stay apart", {" TRec=record", " A:Byte;", " end;"}, {" TRec=record", " A:Byte;", " end;"}, 0, 0,
       false, ""},
      {"parameter list over two lines",
       {" procedure P(A:Integer;", " B:Byte);", " X:Byte;"},
       {" procedure P(A:Integer; B:Byte);", " X:Byte;"},
       0,
       0,
       false,
       ""},
      {"set constant over two lines", {" S=[a,", " b];"}, {" S=[a, b];"}, 0, 0, false, ""},
      {"nested kinds over three lines", {" A=([", " 1]", " );"}, {" A=([ 1] );"}, 0, 0, false, ""},
      {"brackets inside strings", {" S=\"(\";", " T=\"]\";"}, {" S=\"(\";", " T=\"]\";"}, 0, 0, false, ""},
      {"closing bracket without partner", {" a;", " b);", " c;"}, {" a;"}, 3, 2, true, " b);"},
      {"closing square bracket without partner", {" a;", " b];", " c;"}, {" a;"}, 3, 2, true, " b];"},
      {"round bracket open at the end", {" a;", " f(x,", " y"}, {" a;"}, 3, 2, false, " f(x, y"},
      {"square bracket open at the end", {" S=[1,"}, {}, 4, 1, false, " S=[1,"},
      {"close after an open statement keeps the open position",
       {" f(x,", " y));", " z;"},
       {},
       3,
       1,
       true,
       " f(x, y));"},
      {"balance on the same line", {" )(;", " z;"}, {" )(;", " z;"}, 0, 0, false, ""},
      {"bracket bytes of GBK characters", {" A:\x81[\x81];", " z;"}, {" A:\x81[\x81];", " z;"}, 0, 0, false, ""},
  };
  for (const auto& c : cases) {
    LineList working;
    NestingState state;
    JoinStatements(LineList(c.input), working, state);
    EXPECT_EQ(working.Lines(), c.statements) << c.name;
    EXPECT_EQ(state.error_position, c.error_position) << c.name;
    EXPECT_EQ(state.error_line, c.error_line) << c.name;
    EXPECT_EQ(state.mismatch, c.mismatch) << c.name;
    EXPECT_EQ(state.statement, c.left_over) << c.name;
  }
}

// Statements as the join hands them on: one declaration a line outside the
// structures, nested sections in front of their structure, interfaces and
// helpers without their bodies, objects with their VMT pointer.
TEST(JoinStatements, WritesOneDeclarationALine) {
  const std::vector<LinesCase> cases = {
      {"two declarations", {" cuchar=Byte;pcuchar=^cuchar;"}, {" cuchar=Byte;", " pcuchar=^cuchar;"}},
      {"a section on one line", {" const A=1;B=2;"}, {" const A=1;", " B=2;"}},
      {"one-line tables stay one line each",
       {" type TA=record a:Integer;end;TB=class(TA) b:Byte;end;"},
       {" type TA=record a:Integer;end;", " TB=class(TA) b:Byte;end;"}},
      {"a directive stays with its declaration", {" TCb=procedure;cdecl;TX=Byte;"}, {" TCb=procedure;cdecl;", " TX=Byte;"}},
      {"a head over several lines",
       {" _FILETIME=", " packed ", " record ", " lo:DWORD;", " end;"},
       {" _FILETIME= packed  record ", " lo:DWORD;", " end;"}},
      {"an initialiser below its constant", {" N:array[0..1]of Byte=", "(1,2);"}, {" N:array[0..1]of Byte=(1,2);"}},
      {"an initialiser that starts with its sign", {" N:array[0..1]of Byte", "=(1,2);"}, {" N:array[0..1]of Byte=(1,2);"}},
      {"names over two lines", {" a,", " b:Integer;"}, {" a, b:Integer;"}},
      {"nested sections",
       {" TOuter=class", " public type", " TDir=(dA,dB);", " TIn=record", " x:Byte;", " end;", " private",
        " FDir:TDir;", " const CMax=5;", " var FArr:array[0..CMax]of Byte;", " class var FCount:Integer;", " end;"},
       {" TDir=(dA,dB);", " TIn=record", " x:Byte;", " end;", " CMax=5;", " TOuter=class", " public ", " private",
        " FDir:TDir;", "  FArr:array[0..CMax]of Byte;", " end;"}},
      // The loosening after the join takes out the spaces the section words leave.
      {"nested sections on one line",
       {" TOuter=class type TDir=(dA,dB);var FDir:TDir;end;"},
       {" TDir=(dA,dB);", " TOuter=class   FDir:TDir;end;"}},
      {"interfaces",
       {" IFoo=interface(IUnknown)", " [\"{G}\"]", " procedure X;stdcall;", " end;", " IBar=dispinterface end;",
        " IBaz=interface;"},
       {" IFoo=interface;", " IBar=interface;", " IBaz=interface;"}},
      // Helpers, generic templates and records without a name hold nothing
      // a table can name.
      {"no data",
       {" THelp=record helper for TFoo", " function X:Integer;", " end;", " generic TList<T>=class", " a:T;",
        " end;", " TPair<K,V>=record k:K;end;TX=Byte;", " record", " a:Byte;", " end;", " TY=Byte;"},
       {" TX=Byte;", " TY=Byte;"}},
      {"directives in brackets and after a colon",
       {" function F(p:Word):Byte;[internproc:fpc_in_f];", " procedure D(var s:string);compilerproc:fpc_in_d;",
        " TX=Byte;"},
       {" function F(p:Word):Byte;[internproc:fpc_in_f];", " procedure D(var s:string);compilerproc:fpc_in_d;",
        " TX=Byte;"}},
      {"a lone class modifies the line below", {" class", " var F:Integer;"}, {" class var F:Integer;"}},
      {"objects",
       {" TObj=object", " a:Byte;", " constructor Init;", " end;", " TKid=object(TObj)", " procedure Go;virtual;",
        " end;", " TOne=object a:Byte;procedure Go;virtual;end;", " TEv=procedure of object;"},
       {" TObj=object", " a:Byte;", " constructor Init;", " Vmt:Pointer;", " end;", " TKid=object(TObj)",
        " procedure Go;virtual;", " end;", " TOne=object a:Byte;procedure Go;virtual; Vmt:Pointer;end;",
        " TEv=procedure of object;"}},
  };
  for (const auto& c : cases) {
    LineList working;
    NestingState state;
    JoinStatements(LineList(c.input), working, state);
    EXPECT_EQ(working.Lines(), c.expected) << c.name;
  }
}

TEST(CountBrackets, CountsEachBracketOnceAsTheStatementGrows) {
  BracketCount round;
  std::string statement = " f(a,\"(\",";
  CountBrackets(statement, '(', ')', round);
  EXPECT_EQ(round.count, 1);
  EXPECT_EQ(round.last_open, 3);
  statement += " g(b))";
  CountBrackets(statement, '(', ')', round);
  EXPECT_EQ(round.count, 0);
  EXPECT_EQ(round.last_open, 12);
  EXPECT_EQ(round.last_close, 15);
  CountBrackets(statement, '(', ')', round);
  EXPECT_EQ(round.count, 0);
}

struct JunkCase {
  const char* line;
  const char* kept;  // nullptr when the line is dropped
};

TEST(DeleteJunkLines, DropsRoutinesAndSectionsKeepsVariantMarks) {
  const std::vector<JunkCase> cases = {
      {" private ", nullptr},
      {" procedure Draw ; virtual ; ", nullptr},
      {" procedure P ; ", nullptr},
      {" function F : Integer ; ", nullptr},
      {" class function F : Integer ; ", nullptr},
      {" CLASS procedure P ; ", nullptr},
      {" constructor Create ; ", nullptr},
      {" property Count : Integer read FCount ; ", nullptr},
      {" class operator + ( const a , b : TR ) : TR ; ", nullptr},
      {" generic class procedure From < T > ( const x : T ) ; ", nullptr},
      {" operator : = ( x : Integer ) : TC ; ", nullptr},
      {" constructor Create ; overload ; inline ; ", nullptr},
      {" overload ; inline ; ", nullptr},
      {" cdecl ; ", nullptr},
      // The marks the statement join writes for a variant part are members.
      {" case : 0 ; ", " case : 0 ; "},
      {" else : 0 ; B : Word ; C : Byte ; ", " else : 0 ; B : Word ; C : Byte ; "},
      {" end : 0 ; end ; ", " end : 0 ; end ; "},
      {"   ", nullptr},
      {" P : procedure ( A : Integer ) ; ", " P : procedure ( A : Integer ) ; "},
      {" OnDone : function : Integer ; ", " OnDone : function : Integer ; "},
      {" TProc = procedure ( A : Integer ) ; ", " TProc = procedure ( A : Integer ) ; "},
      {" TM = procedure of object ; ", " TM = procedure of object ; "},
      {" Cased : Integer ; ", " Cased : Integer ; "},
      {" Publics : Byte ; ", " Publics : Byte ; "},
      {" TA = ( a , b ) ; ", " TA = ( a , b ) ; "},
      {" TProc = procedure ( A : Integer ) ; stdcall ; ", " TProc = procedure ( A : Integer ) ; stdcall ; "},
      {" Operator : TOp ; ", " Operator : TOp ; "},
      // A type that stands for its namesake of another unit gives nothing.
      {" PBYTE = System . PByte ; ", nullptr},
      {" GUID = system . win . guid ; ", nullptr},
      {" GUID = system . tguid ; ", " GUID = system . tguid ; "},
      {" PBYTE = PByte ; ", " PBYTE = PByte ; "},
      {" x : System . PByte ; ", " x : System . PByte ; "},
      // A packed array lays out as an array.
      {" a : packed array [ 0 .. 3 ] of Char ; ", " a : array [ 0 .. 3 ] of Char ; "},
      {" TB = PACKED ARRAY of Byte ; ", " TB = array of Byte ; "},
      {" S = \" a packed array \" ; ", " S = \" a packed array \" ; "},
      {" b : bitpacked array [ 0 .. 7 ] of Boolean ; ", " b : bitpacked array [ 0 .. 7 ] of Boolean ; "},
      {" Default , Message : Integer ; ", " Default , Message : Integer ; "},
      {" a : ( x = 1 , y = 2 ) ; ", " a : ( x = 1 , y = 2 ) ; "},
      // Typed constants are constants: a number stays as one, anything else goes.
      {" C : Integer = 5 ; ", " C = 5 ; "},
      {" const N : Word = $10 ; ", " const N = $10 ; "},
      {" M : Integer = - 1 ; ", " M = - 1 ; "},
      {" C : array [ 0 .. 1 ] of Byte = ( 1 , 2 ) ; ", nullptr},
      {" Pt : TPoint = ( X : 1 ; Y : 2 ) ; ", nullptr},
      {" S : string = \"a=b\" ; ", nullptr},
      {" N = 5 ; ", " N = 5 ; "},
  };
  for (const auto& c : cases) {
    Lines expected = c.kept ? Lines{c.kept} : Lines{};
    EXPECT_EQ(Apply(DeleteJunkLines, {c.line}), expected) << c.line;
  }
}

// A table on one line loses what its lines would lose written one per line;
// lines that open no table are judged whole as before.
TEST(DeleteJunkLines, OneLineTablesLoseOnlyTheirRoutinesAndSections) {
  const std::vector<JunkCase> cases = {
      {" TFoo = class private a : Integer ; end ; ", " TFoo = class a : Integer ; end ; "},
      {" TFoo = class ( TBar , IBaz ) procedure Go ; virtual ; abstract ; b : Byte ; end ; ",
       " TFoo = class ( TBar , IBaz ) b : Byte ; end ; "},
      {" TFoo = packed record a : Byte ; function F : Integer ; overload ; end ; ",
       " TFoo = packed record a : Byte ; end ; "},
      {" TFoo = class strict private a : Byte ; property P : Byte read a ; default ; end ; ",
       " TFoo = class a : Byte ; end ; "},
      {" TFoo = class published ", " TFoo = class "},
      {" TFoo = class p : procedure ( A : Integer ) ; stdcall ; q : Byte ; end ; ",
       " TFoo = class p : procedure ( A : Integer ) ; stdcall ; q : Byte ; end ; "},
      {" TFoo = class class operator + ( a , b : TFoo ) : TFoo ; q : Byte ; end ; ", " TFoo = class q : Byte ; end ; "},
      {" TFoo = record p : procedure ; S : string ; end ; ", " TFoo = record p : procedure ; S : string ; end ; "},
      {" TFoo = class S : string ; procedure Go ( s : string = \" ; public ; \" ) ; end ; ",
       " TFoo = class S : string ; end ; "},
      {" TV = record case : 0 ; a : Byte ; procedure Go ; end : 0 ; end ; ",
       " TV = record case : 0 ; a : Byte ; end : 0 ; end ; "},
      {" TC = class of TFoo ; private ", nullptr},
  };
  for (const auto& c : cases) {
    Lines expected = c.kept ? Lines{c.kept} : Lines{};
    EXPECT_EQ(Apply(DeleteJunkLines, {c.line}), expected) << c.line;
  }
}

// A heading wrapped over several lines goes whole; "end" after a last
// statement without its ";" still closes the table.
TEST(DeleteJunkLines, WrappedPropertiesAndRoutinesGoWithAllTheirLines) {
  EXPECT_EQ(Apply(DeleteJunkLines, {" TFoo = class ", " a : Integer ; ", " property P : Integer ",
                                    " read a ", " write a ; ", " b : Byte ; ", " class function Make ",
                                    " : TFoo ; ", " property Q : Integer read a ", " end ; ", " private ",
                                    " c : Byte ; "}),
            (Lines{" TFoo = class ", " a : Integer ; ", " b : Byte ; ", " end ; ", " c : Byte ; "}));
}

// Literals are data: an "=" or a keyword inside one is no reason to cut or
// drop the line.
TEST(DeleteJunkLines, LooksOnlyOutsideStrings) {
  const std::vector<JunkCase> cases = {
      {" F : Integer deprecated \"use G=1\" ; ", " F : Integer deprecated \"use G=1\" ; "},
      {" S = \"a : b = c\" ; ", " S = \"a : b = c\" ; "},
      {" SHint = \"press for the public key\" ; ", " SHint = \"press for the public key\" ; "},
      {" SCase = \" case \" ; ", " SCase = \" case \" ; "},
      {" SProc = \" procedure \" ; ", " SProc = \" procedure \" ; "},
  };
  for (const auto& c : cases) EXPECT_EQ(Apply(DeleteJunkLines, {c.line}), Lines{c.kept}) << c.line;
}

// Every use of a declared type or constant takes the declaration's
// spelling; the names of fields and variables keep theirs (Lua keys are
// case-sensitive), reserved words are lower case, and a unit-qualified name
// is the name after its last dot.
TEST(UnifyCase, SpellsTypesAsDeclaredAndKeepsFieldNames) {
  EXPECT_EQ(Apply(UnifyCase, {" F : tfoo ; ", " G : ARRAY Of TFOO ; ", " TFoo = RECORD ", " TFooBar : tfoobar ; ",
                              " TPoint = Packed Record X , Y : Longint ; END ; ", " y , x2 : System.tfoo ; ",
                              " h : ^Windows.tpoint ; ", " TMods = Set Of TFoo ; ", " S = \" Record \" ; "}),
            (Lines{" F : TFoo ; ", " G : array of TFoo ; ", " TFoo = record ", " TFooBar : tfoobar ; ",
                   " TPoint = packed record X , Y : Longint ; end ; ", " y , x2 : TFoo ; ", " h : ^tpoint ; ",
                   " TMods = set of TFoo ; ", " S = \" Record \" ; "}));
}

TEST(UnifyCase, EarlierDeclarationSpellingWinsAndStringsStay) {
  EXPECT_EQ(Apply(UnifyCase, {" TFoo = record ", " TFOO = record ", " S = \" tfoo \" ; "}),
            (Lines{" TFoo = record ", " TFoo = record ", " S = \" tfoo \" ; "}));
}

TEST(MarkClassPointers, MarksClassReferencesBeforeAndAfterTheDeclaration) {
  EXPECT_EQ(Apply(MarkClassPointers,
                {" A : TFoo ; ", " TA = array [ 0 .. 3 ] of TFoo ; ", " TFoo = class ( TObject ) ",
                 " B : tfoo ; ", " TBar = TFoo ; ", " C : TFooBar ; ", " S = \" : TFoo \" ; ", " TRec = record ",
                 " D : TRec ; "}),
            (Lines{" A : ^TFoo ; ", " TA = array [ 0 .. 3 ] of ^TFoo ; ", " TFoo = class ( TObject ) ",
                   " B : ^TFoo ; ", " TBar = ^TFoo ; ", " C : TFooBar ; ", " S = \" : TFoo \" ; ", " TRec = record ",
                   " D : TRec ; "}));
}

TEST(MarkClassPointers, ForwardAndReferenceDeclarationsDeclareClasses) {
  EXPECT_EQ(Apply(MarkClassPointers, {" TFoo = class ; ", " TFooClass = class of TFoo ; ", " X : TFooClass ; "}),
            (Lines{" TFoo = class ; ", " TFooClass = class of ^TFoo ; ", " X : ^TFooClass ; "}));
}

// A declaration whose "=" starts its own input line has no name before it;
// it must not make a pointer of every typed member.
TEST(MarkClassPointers, LineWithoutNameMarksNothing) {
  EXPECT_EQ(Apply(MarkClassPointers, {" TFoo ", " = class ", " A : Integer ; ", " B = Byte ; "}),
            (Lines{" TFoo ", " = class ", " A : Integer ; ", " B = Byte ; "}));
}

TEST(MarkClassPointers, MarksOnlyOnce) {
  const Lines once = Apply(MarkClassPointers, {" TFoo = class ", " A : TFoo ; "});
  EXPECT_EQ(Apply(MarkClassPointers, once), once);
}

// Every normalisation stage in driver order, as a run applies them.
Lines Normalise(const Lines& input, NestingState& state) {
  LineList reference(input);
  EscapeInputText(reference);
  RemoveComments(reference, state);
  StripSymbolSpaces(reference);
  LineList working;
  JoinStatements(reference, working, state);
  LoosenText(working);
  DeleteJunkLines(working);
  UnifyCase(working);
  MarkClassPointers(working);
  return working.Lines();
}

TEST(Normalisation, TypicalDeclarationsReachTheLoosenedForm) {
  NestingState state;
  EXPECT_EQ(Normalise({"type", "  TPoint = record", "    X, Y: Integer; // coords", "  end;",
                       "  TShape = class(TObject)", "  private", "    FOrigin: TPoint;", "    FNext: TShape;",
                       "  public", "    procedure Draw; virtual;", "  end;"},
                      state),
            (Lines{" type ", " TPoint = record ", " X , Y : Integer ; ", " end ; ", " TShape = class ( TObject ) ",
                   " FOrigin : TPoint ; ", " FNext : ^TShape ; ", " end ; "}));
  EXPECT_FALSE(state.HasError());
}

TEST(Normalisation, StringsComeThroughUntouched) {
  NestingState state;
  EXPECT_EQ(Normalise({"const", "  P = 'C:\\Temp\\';  // a path", "  Q = 'It''s {not} a comment';",
                       "  R = '(* neither *)  //';", "  S = 'tfoo : TFoo ARRAY';", "type", "  TFoo = class end;"},
                      state),
            (Lines{" const ", " P = \"C:\\\\Temp\\\\\" ; ", " Q = \"It\"\"s {not} a comment\" ; ",
                   " R = \"(* neither *)  //\" ; ", " S = \"tfoo : TFoo ARRAY\" ; ", " type ", " TFoo = class end ; "}));
}

TEST(Normalisation, SingleLineDeclarationsStayOneLine) {
  NestingState state;
  EXPECT_EQ(Normalise({"TFoo = record a: Byte; end;", "TBar = class(TFoo) b: Integer; end;"}, state),
            (Lines{" TFoo = record a : Byte ; end ; ", " TBar = class ( TFoo ) b : Integer ; end ; "}));
}

}  // namespace
}  // namespace ct::testing

namespace ct::testing {
namespace {

// Whatever the input holds (unpaired quotes and brackets, comment openers at
// the line end, very long lines, any byte), every stage ends and the text
// leaves normalisation loosened.
TEST(Normalisation, AcceptsAnyInput) {
  const std::vector<std::string> pieces = {
      "'", "''", "\"", "(", ")", "[", "]", "{", "}", "(*", "*)", "//", "\\", ":", "=", ";", "..", "-", "\t",
      " ", "class", "record", "end", "case", "procedure", "\xB1\x5C", "\x01", "x", "1", ":=", "^T", "$FF",
  };
  std::uint32_t seed = 777;
  auto next = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) & 0x7fff;
  };
  for (int round = 0; round < 300; ++round) {
    Lines input;
    for (int lines = 1 + static_cast<int>(next() % 6); lines > 0; --lines) {
      std::string line;
      for (int n = static_cast<int>(next() % 12); n > 0; --n) line += pieces[next() % pieces.size()];
      input.push_back(line);
    }
    if (round == 0) input.push_back(std::string(kTokenLimit + 10, 'a') + " = class ;");
    NestingState state;
    for (const std::string& line : Normalise(input, state)) EXPECT_EQ(LoosenLine(line), line) << line;
    EXPECT_LE(state.error_position, Len(state.statement));
  }
}

}  // namespace
}  // namespace ct::testing

namespace ct::testing {
namespace {

// Reports name the line of ClassTable.txt a person has to look at, however
// the reading stages joined, dropped, cut, split or hoisted lines on the way:
// a declaration names the input line where it starts.
TEST(ReadingStages, EveryStatementKeepsTheInputLineItStartsOn) {
  using Origins = std::vector<std::pair<std::string, LineOrigin>>;
  const struct {
    const char* name;
    const char* text;
    Origins expected;
  } cases[] = {
      {"joined, dropped and cut",
       "type { a comment\r\n over two lines }\r\n\r\n  TRec = record\r\n    Arr: array[0..\r\n"
       "      3] of Byte; // cut\r\n  private\r\n    procedure Go;\r\n  end;",
       {{" type ", 1}, {" TRec = record ", 4}, {" Arr : array [ 0 .. 3 ] of Byte ; ", 5}, {" end ; ", 9}}},
      {"split, joined and hoisted",
       "const A = 1; B =\r\n  2;\r\ntype\r\n  TOuter = class\r\n  public const\r\n    N = 3;\r\n"
       "  end; C = 4;",
       {{" const A = 1 ; ", 1},
        {" B = 2 ; ", 1},
        {" type ", 3},
        {" N = 3 ; ", 6},
        {" TOuter = class ", 4},
        {" end ; ", 7},
        {" C = 4 ; ", 7}}},
  };
  for (const auto& c : cases) {
    LineList input;
    input.SetText(c.text);
    NestingState state;
    LineList working;
    RemoveComments(input, state);
    StripSymbolSpaces(input);
    JoinStatements(input, working, state);
    LoosenText(working);
    DeleteJunkLines(working);
    Origins lines;
    for (size_t i = 0; i < working.Count(); ++i) lines.emplace_back(working.Get(i), working.Origin(i));
    EXPECT_EQ(lines, c.expected) << c.name;
  }
}

}  // namespace
}  // namespace ct::testing
