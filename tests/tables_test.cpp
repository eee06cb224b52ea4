// The nesting report, the rewrite into Lua tables and the reference list.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pipeline/line_forms.h"
#include "pipeline/tables/tables.h"
#include "pipeline/texts.h"
#include "text/gbk.h"

namespace ct::testing {
namespace {

using Lines = std::vector<std::string>;

// The reference list as the run leaves it: built, then loosened.
LineList Reference(const Lines& working) {
  LineList reference(Lines{"left from the input"});
  BuildReferenceList(LineList(working), reference);
  LoosenText(reference);
  return reference;
}

struct RewriteCase {
  const char* line;
  const char* rewritten;
  Lines appended;
};

// Each line on its own list, so that the appended lines are its own.
void ExpectRewrites(const std::vector<RewriteCase>& cases) {
  for (const auto& c : cases) {
    LineList working(Lines{c.line});
    RewriteDeclarationsAsTables(working);
    Lines expected{c.rewritten};
    expected.insert(expected.end(), c.appended.begin(), c.appended.end());
    EXPECT_EQ(working.Lines(), expected) << c.line;
  }
}

TEST(RewriteDeclarationsAsTables, SectionKeywordsGoOnceFromTheLineStart) {
  ExpectRewrites({
      {" const ", " ", {}},
      {" type ", " ", {}},
      {" var ", " ", {}},
      {" const A = 1 ; const B = 2 ; ", " A = 1 ; const B = 2 ; ", {}},
      {" CONST A = 1 ; ", " A = 1 ; ", {}},
      {" Constant : Byte ; ", " Constant : Byte ; ", {}},
      {" HRESULT = type Longint ; ", " HRESULT = Longint ; ", {}},
      {" A = TypeB ; ", " A =B ; ", {}},
  });
}

TEST(RewriteDeclarationsAsTables, ClassesAndRecordsOpenAndCloseTables) {
  ExpectRewrites({
      {" TObject = class ", " TObject = { Vmt : Pointer ;", {}},
      {" TItem = class ( TObject ) ", " TItem = { ", {" setmetatable ( TItem , TObject ) ; "}},
      {" X = class ( TA , IB ) ", " X = { ", {" setmetatable ( X , TA ) ; "}},
      {" TPersistent = class ( TObject ) ; ", " TPersistent = {} ; ", {" setmetatable ( TPersistent , TObject ) ; "}},
      {" TBar = class ( TFoo ) end ; ", " TBar = {} ; ", {" setmetatable ( TBar , TFoo ) ; "}},
      {" TBar = class ( TFoo ) b : Integer ; end ; ",
       " TBar = { b : Integer ;} ; ",
       {" setmetatable ( TBar , TFoo ) ; "}},
      {" X = class ; ", " X = {} ; ", {}},
      {" X = class of TObject ; ", " X = ^TObject ; ", {}},
      {" TPoint = packed record ", " TPoint = packed { ", {}},
      {" TFoo = record a : Byte ; end ; ", " TFoo = { a : Byte ;} ; ", {}},
      {" TFoo = record end ; ", " TFoo = {} ; ", {}},
      {" end ; ", "} ; ", {}},
      {" END ; ", "} ; ", {}},
  });
}

// The head of a class without a parent ends in ";" with no space after it,
// so an empty body on the same line must still be recognised as closed.
TEST(RewriteDeclarationsAsTables, EmptyClassOnOneLineCloses) {
  ExpectRewrites({
      {" TFoo = class end ; ", " TFoo = { Vmt : Pointer ;} ; ", {}},
      {" TFoo = class end deprecated ; ", " TFoo = { Vmt : Pointer ;} ; ", {}},
      {" TFoo = class b : Integer ; end ; ", " TFoo = { Vmt : Pointer ;b : Integer ;} ; ", {}},
  });
  LineList working(Lines{" TFoo = class end ; ", " TBar = record ", " a : Byte ; ", " end ; "});
  RewriteDeclarationsAsTables(working);
  EXPECT_EQ(Reference(working.Lines()).Lines(),
            (Lines{" TFoo = { Vmt : Pointer ; } ; ", " TBar = { a : Byte ; } ; "}));
}

// An interface reaches the rewrite as the reference it is, which the size
// and descriptor stages read by its word.
TEST(RewriteDeclarationsAsTables, DirectivesGoAndInterfacesStayReferences) {
  ExpectRewrites({
      {" A : Integer deprecated ; ", " A : Integer ; ", {}},
      {" A : Integer platform ; ", " A : Integer ; ", {}},
      {" [ \"\" ] ", "", {}},
      {" IFoo = interface ; ", " IFoo = interface ; ", {}},
  });
}

// A calling convention is part of its procedural type; the ";" in front of
// it goes with it, and a field or type that only bears the name stays.
TEST(RewriteDeclarationsAsTables, CallingConventionsLeaveTheirProceduralType) {
  ExpectRewrites({
      {" FARPROC = function : Integer ; stdcall ; ", " FARPROC = function : Integer ; ", {}},
      {" TCb = procedure ( P : Pointer ) cdecl ; ", " TCb = procedure ( P : Pointer ) ; ", {}},
      {" TCb = procedure ; cdecl ; varargs ; ", " TCb = procedure ; ", {}},
      {" TR = { f : function : Integer ; stdcall ; b : Byte ;} ; ", " TR = { f : function : Integer ; b : Byte ;} ; ", {}},
      {" TR = { cdecl : Integer ; p : Pascal ; } ; ", " TR = { cdecl : Integer ; p : Pascal ; } ; ", {}},
      {" S = \" ; cdecl ; \" ; ", " S = \" ; cdecl ; \" ; ", {}},
  });
}

// An old-style object lays out like a record; one derived from another
// takes its ancestor's fields like a derived class.
TEST(RewriteDeclarationsAsTables, ObjectsOpenTablesAndFollowTheirAncestor) {
  ExpectRewrites({
      {" TObj = object ", " TObj = { ", {}},
      {" TObj = packed object a : Byte ; end ; ", " TObj = packed { a : Byte ;} ; ", {}},
      {" TKid = object ( TObj ) ", " TKid = { ", {" setmetatable ( TKid , TObj ) ; "}},
      {" TEv = procedure of object ; ", " TEv = procedure of object ; ", {}},
  });
}

TEST(RewriteDeclarationsAsTables, StringContentsStayAsWritten) {
  ExpectRewrites({
      {" S = \" end ; class record \" ; ", " S = \" end ; class record \" ; ", {}},
      {" S = \" const x\" ; ", " S = \" const x\" ; ", {}},
  });
}

// The message is part of the directive; left behind, it would keep "end"
// from meeting its ";" and the record would never close.
TEST(RewriteDeclarationsAsTables, HintDirectivesTakeTheirMessage) {
  ExpectRewrites({
      {" end deprecated \"Use TNewInfo instead\" ; ", "} ; ", {}},
      {" end deprecated \"It\"\"s old\" ; ", "} ; ", {}},
      {" F : Integer deprecated \"use G\" ; ", " F : Integer ; ", {}},
      {" TOld = TNew deprecated \"x\" ; ", " TOld = TNew ; ", {}},
      {" F : Integer platform \"x\" ; ", " F : Integer ; ", {}},
      {" TFoo = record a : Byte ; end deprecated \"x\" ; ", " TFoo = { a : Byte ;} ; ", {}},
      {" F : Integer deprecated ; S = \"x\" ; ", " F : Integer ; S = \"x\" ; ", {}},
      {" S = \"x\" deprecated ; ", " S = \"x\" ; ", {}},
      {" F : Integer deprecated \"open ; ", " F : Integer \"open ; ", {}},
  });
}

// Text inside a literal is data: it must neither trigger a rewrite nor be
// cut by one.
TEST(RewriteDeclarationsAsTables, TriggersInsideStringsAreText) {
  ExpectRewrites({
      {" S = \"x class ( y )\" ; ", " S = \"x class ( y )\" ; ", {}},
      {" S = \"x interface (\" + \")\" ; ", " S = \"x interface (\" + \")\" ; ", {}},
      {" S = \"a [ \"\" ] b\" ; ", " S = \"a [ \"\" ] b\" ; ", {}},
      {" [ \"{00000000-0000-0000-C000-000000000046}\" ] ",
       " [ \"{00000000-0000-0000-C000-000000000046}\" ] ",
       {}},
  });
}

// A literal removed by the rewrite takes nothing of the others with it.
TEST(RewriteDeclarationsAsTables, RemovedLiteralLeavesTheOthersInPlace) {
  ExpectRewrites({
      {" X = [ \"\" ] + \"abc\" ; ", " X =+ \"abc\" ; ", {}},
  });
}

TEST(RewriteDeclarationsAsTables, AppendedInheritanceLinesAreNotRewritten) {
  LineList working(Lines{" X = class ( Platform ) ", " Y = class ( Record ) "});
  RewriteDeclarationsAsTables(working);
  EXPECT_EQ(working.Lines(), (Lines{" X = { ", " Y = { ", " setmetatable ( X , Platform ) ; ",
                                    " setmetatable ( Y , Record ) ; "}));
}

// The declarations of a typical input as they leave normalisation.
const Lines kNormalised = {
    " TPoint = packed record ", " X : Longint ; ", " Y : Longint ; ", " end ; ", " TItem = class ( TObject ) ",
    " FName : String [ 20 ] ; ", " A , B : Integer ; ", " FOnChange : procedure ; ",
    " FFlags : set of ( f1 , f2 , f3 ) ; ", " end ; ", " TObject = class ", " end ; ",
};

const Lines kRewritten = {
    " TPoint = packed { ", " X : Longint ; ", " Y : Longint ; ", "} ; ", " TItem = { ",
    " FName : String [ 20 ] ; ", " A , B : Integer ; ", " FOnChange : procedure ; ",
    " FFlags : set of ( f1 , f2 , f3 ) ; ", "} ; ", " TObject = { Vmt : Pointer ;", "} ; ",
    " setmetatable ( TItem , TObject ) ; ",
};

const Lines kReference = {
    " TPoint = packed { X : Longint ; Y : Longint ; } ; ",
    " TItem = { FName : String [ 20 ] ; A , B : Integer ; FOnChange : procedure ; FFlags : set of ( f1 , f2 , f3 ) ; } "
    "; ",
    " TObject = { Vmt : Pointer ; } ; ",
    " setmetatable ( TItem , TObject ) ; ",
};

TEST(RewriteDeclarationsAsTables, TypicalDeclarationsBecomeTables) {
  LineList working(kNormalised);
  RewriteDeclarationsAsTables(working);
  EXPECT_EQ(working.Lines(), kRewritten);
}

TEST(BuildReferenceList, PutsEveryTableOnOneLine) {
  EXPECT_EQ(Reference(kRewritten).Lines(), kReference);
}

TEST(BuildReferenceList, TableWithoutCloseJoinsUpToTheNextClose) {
  EXPECT_EQ(Reference({" A = { ", " x : Byte ; ", " B = 1 ; ", " C = { y : Byte ; } ; ", " D = 2 ; "}).Lines(),
            (Lines{" A = { x : Byte ; B = 1 ; C = { y : Byte ; } ; ", " D = 2 ; "}));
  EXPECT_EQ(Reference({" D = 2 ; ", " A = { ", " x : Byte ; "}).Lines(), (Lines{" D = 2 ; "}));
  EXPECT_EQ(Reference({}).Lines(), Lines{});
}

TEST(BuildReferenceList, BracesInsideStringsOpenNothing) {
  EXPECT_EQ(Reference({" SText = \"Press { to begin\" ; ", " IFoo = 8 ",
                       " [ \"{00000000-0000-0000-C000-000000000046}\" ] ", " SEnd = \"} ; \" ; ", " T = 1 ; "})
                .Lines(),
            (Lines{" SText = \"Press { to begin\" ; ", " IFoo = 8 ",
                   " [ \"{00000000-0000-0000-C000-000000000046}\" ] ", " SEnd = \"} ; \" ; ", " T = 1 ; "}));
  EXPECT_EQ(Reference({" A = { ", " S : String = \"} ; \" ; ", "} ; "}).Lines(),
            (Lines{" A = { S : String = \"} ; \" ; } ; "}));
}

// A reporter that keeps log lines and message boxes in one sequence, so
// that their order can be checked.
class SequenceReporter : public Reporter {
 public:
  void Log(std::string_view line) override { events.push_back("log " + GbkToUtf8(line)); }
  void Message(std::string_view caption, std::string_view text, MessageIcon icon) override {
    events.push_back("box " + GbkToUtf8(caption) + "|" + GbkToUtf8(text) +
                     (icon == MessageIcon::kError ? "|error" : "|information"));
  }
  std::vector<std::string> events;
};

struct ReportCase {
  const char* statement;
  Pos position;
  size_t line;
  bool mismatch;
  Lines events;
};

TEST(ReportNestingError, LogsTheFaultAroundItsMessageBox) {
  const std::vector<ReportCase> cases = {
      {" b ) ; c",
       4,
       12,
       true,
       {"log --------------------符号嵌套关系不匹配！！！！！！！！！！！！！！！！", "box 确认信息|符号嵌套关系不匹配！|error",
        "log --------------------所在行数：[12]附近。", "log --------------------符号位置：[4]",
        "log --------------------所在字符串：\" b )\"", "log --------------------所在文本：ClassTable.txt"}},
      {" f ( x , y",
       4,
       3,
       false,
       {"log --------------------符号没有闭合！！！！！！！！！！！！！！！！", "box 确认信息|符号没有闭合！|error",
        "log --------------------所在行数：[3]附近。", "log --------------------符号位置：[4]",
        "log --------------------所在字符串：\" f (\"", "log --------------------所在文本：ClassTable.txt"}},
  };
  for (const auto& c : cases) {
    NestingState state;
    state.statement = c.statement;
    state.error_position = c.position;
    state.error_line = c.line;
    state.mismatch = c.mismatch;
    SequenceReporter reporter;
    ReportNestingError(state, reporter);
    EXPECT_EQ(reporter.events, c.events) << c.statement;
  }
}

// The table form after the rewrite, each line with its line of the input.
LineList WithOrigins(const Lines& lines) {
  LineList list;
  for (size_t i = 0; i < lines.size(); ++i) list.Add(lines[i], static_cast<LineOrigin>(10 + i));
  return list;
}

TEST(ReportOpenStructures, NamesAStructureThatADeclarationOrTheEndInterrupts) {
  const struct {
    const char* name;
    Lines working;
    Lines events;
  } cases[] = {
      {"closed tables, nested and on one line",
       {" U = { ", " a : Byte ; ", " r : { ", " x : Byte ; ", "} ; ", "} ; ", " K = 5 ; ", " TA = { Vmt : Pointer ;} ; ",
        " TF = {} ; ", " S = \"{\" ; ", " V = { b : Byte ; } ; "},
       {}},
      {"the next declaration",
       {" U = { ", " a : Byte ; ", " V = { ", " b : Byte ; ", "} ; "},
       {"log --------------------结构 U（ClassTable.txt 第 10 行） 还没有结束（缺少 end;？），其中就出现了不是成员的声明 V"
        "（ClassTable.txt 第 12 行）",
        "box 确认信息|有结构没有以 end; 结束！|error"}},
      {"a constant",
       {" U = { ", " a : Byte ; ", " X = 5 ; "},
       {"log --------------------结构 U（ClassTable.txt 第 10 行） 还没有结束（缺少 end;？），其中就出现了不是成员的声明 X"
        "（ClassTable.txt 第 12 行）",
        "box 确认信息|有结构没有以 end; 结束！|error"}},
      {"the end of the input",
       {" K = 5 ; ", " U = { ", " r : { ", " x : Byte ; ", "} ; "},
       {"log --------------------结构 U（ClassTable.txt 第 11 行） 没有以 end; 结束，文本就结束了！",
        "box 确认信息|有结构没有以 end; 结束！|error"}},
      {"a brace byte of a GBK name", {" U = { ", " \x82} : Byte ; ", "} ; ", " K = 5 ; "}, {}},
  };
  for (const auto& c : cases) {
    SequenceReporter reporter;
    EXPECT_EQ(ReportOpenStructures(WithOrigins(c.working), reporter), c.events.empty()) << c.name;
    EXPECT_EQ(reporter.events, c.events) << c.name;
  }
}

TEST(BreakInheritanceCycles, RemovesAndNamesEveryClassOnACycle) {
  const struct {
    const char* name;
    Lines working;
    Lines kept;
    Lines events;
  } cases[] = {
      {"a chain", {" TA = { a : Byte ; } ; ", " setmetatable ( TB , TA ) ; ", " setmetatable ( TC , TB ) ; "}, {}, {}},
      {"itself",
       {" TA = { a : Byte ; } ; ", " setmetatable ( TA , TA ) ; "},
       {" TA = { a : Byte ; } ; "},
       {"log --------------------类 TA 继承自身或自己的子类！（ClassTable.txt 第 11 行）",
        "box 确认信息|有类继承自身或自己的子类！|error"}},
      {"its descendant, in any case, and a class below the cycle",
       {" setmetatable ( TA , TB ) ; ", " setmetatable ( TC , ta ) ; ", " setmetatable ( TB , TA ) ; ",
        " S = \" setmetatable ( TX , TX ) \" ; "},
       {" setmetatable ( TC , ta ) ; ", " S = \" setmetatable ( TX , TX ) \" ; "},
       {"log --------------------类 TA 继承自身或自己的子类！（ClassTable.txt 第 10 行）",
        "log --------------------类 TB 继承自身或自己的子类！（ClassTable.txt 第 12 行）",
        "box 确认信息|有类继承自身或自己的子类！|error"}},
  };
  for (const auto& c : cases) {
    LineList working = WithOrigins(c.working);
    SequenceReporter reporter;
    EXPECT_EQ(BreakInheritanceCycles(working, reporter), c.events.empty()) << c.name;
    EXPECT_EQ(working.Lines(), c.events.empty() ? c.working : c.kept) << c.name;
    EXPECT_EQ(reporter.events, c.events) << c.name;
  }
}

}  // namespace
}  // namespace ct::testing

namespace ct::testing {
namespace {

// Contents of the paired literals of a line, in order.
Lines Literals(const std::string& line) {
  Lines out;
  Pos open = FindChar(line, '"', 1);
  // Each pass moves past one closing quote.
  while (open != 0) {
    Pos close = FindChar(line, '"', open + 1);
    if (close == 0) break;
    out.push_back(Slice(line, open + 1, close - 1));
    open = FindChar(line, '"', close + 1);
  }
  return out;
}

bool IsSubsequence(const Lines& part, const Lines& whole) {
  size_t k = 0;
  for (const auto& item : whole)
    if (k < part.size() && item == part[k]) ++k;
  return k == part.size();
}

// Generated lines of keywords, brackets and literals in every order: the
// rewrite may drop whole literals but never alters or reorders the others,
// and the reference list keeps every line that a closed table holds.
TEST(RewriteDeclarationsAsTables, LiteralsSurviveAnyArrangement) {
  const std::vector<std::string> words = {
      "class", "(", ")", "record", "end", ";", "deprecated", "platform", "interface", "[", "]", "{", "}",
      "\"\"",  "\"x class ( y )\"", "\"} ;\"", "\"{\"", "\"a\"\"b\"", "of", "const", "type", "=", "T", "\"",
  };
  std::uint32_t seed = 12345;
  auto next = [&seed] {
    seed = seed * 1103515245u + 12345u;
    return (seed >> 16) & 0x7fff;
  };
  for (int round = 0; round < 2000; ++round) {
    std::string line = " ";
    for (int n = 1 + static_cast<int>(next() % 8); n > 0; --n) line += words[next() % words.size()] + " ";
    LineList working(Lines{line});
    RewriteDeclarationsAsTables(working);
    EXPECT_TRUE(IsSubsequence(Literals(working.Get(0)), Literals(line))) << line << "\n" << working.Get(0);
    LineList reference;
    BuildReferenceList(working, reference);
    EXPECT_LE(reference.Count(), working.Count()) << line;
  }
}

}  // namespace
}  // namespace ct::testing
