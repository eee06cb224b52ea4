// Whole runs over the forms that real declarations take and that a step
// written for one field per line gets wrong: text inside strings, records and
// classes on one line, field groups of routine types, hint directives with a
// message, parenthesised operands, short strings, arrays of pointer aliases
// and of routine types, arrays of arrays, and the forms of real units (keyword
// case, several declarations a line, nested sections, objects, interfaces,
// typed constants, ...).
#include <gtest/gtest.h>

#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "tests/support/lua_check.h"
#include "tests/support/memory_run.h"
#include "tests/support/run_folder.h"
#include "tests/support/script_tables.h"

namespace ct::testing {
namespace {

using Lines = std::vector<std::string>;

struct Converted {
  MemoryRun run;
  std::map<std::string, Lines> tables;
  Lines problems;  // what a host loading the script would meet
};

Converted Convert(const std::string& declarations) {
  Converted c{ConvertInMemory(declarations), {}, {}};
  c.tables = ScriptTables(c.run.File("ClassType.lua"));
  c.problems = CheckClassTypeLua(c.run.File("ClassType.lua"));
  return c;
}

// A plain record after each form under test: it must come through whole,
// laid out and bound, whatever the form before it did.
std::string Follower(size_t k) {
  return "type\n  TAfter" + std::to_string(k) + " = record a: Byte; b: Integer; end;\n";
}

void ExpectFollowersIntact(const Converted& c, size_t count, const std::string& input) {
  EXPECT_EQ(c.run.outcome, RunOutcome::kSucceeded) << input;
  EXPECT_EQ(c.problems, Lines{}) << input;
  for (size_t k = 0; k < count; ++k) {
    auto table = c.tables.find("TAfter" + std::to_string(k));
    EXPECT_EQ(table == c.tables.end() ? Lines{} : table->second,
              (Lines{"a = { 0 , vt_Byte }", "b = { 4 , vt_Integer }"}))
        << "TAfter" << k << " in\n"
        << input;
  }
}

// Each form in turn, each followed by its own plain record, in one run.
template <size_t N>
std::string EachFollowed(const char* const (&forms)[N], const std::string& prefix, const std::string& suffix) {
  std::string input;
  for (size_t k = 0; k < N; ++k) input += prefix + forms[k] + suffix + Follower(k);
  return input;
}

TEST(TextInStrings, SymbolsInAStringConstantOpenOrCloseNothing) {
  const char* const literals[] = {
      "'Press { to begin'", "'}'", "'a; b: c } ;'", "'x;y'", "'a:b'", "'= {'", "'{ }'", "'end;'", "'It''s {'",
      "'C:\\Temp\\{'", "'// not a comment'", "'(* { *)'", "'say \"hi\"'", "'\"{\"'", "'\"'", "'{' + ';'",
      "'vt_Byte {'", "' record '", "'} ; x : y'", "'nWholeSize : 4 ;'",
  };

  const std::string input = EachFollowed(literals, "const\n  SText = ", ";\n");
  const Converted c = Convert(input);
  ExpectFollowersIntact(c, std::size(literals), input);
  // A constant is no table and never reaches the script.
  EXPECT_EQ(c.run.File("ClassType.lua").find("SText"), std::string::npos);
}

TEST(TextInStrings, InterfaceGuidsKeepTheListsInStep) {
  const char* const interfaces[] = {
      "  IFoo = interface\n    ['{00000000-0000-0000-C000-000000000046}']\n    procedure X; stdcall;\n  end;\n",
      "  IFoo = interface(IUnknown)\n    ['{00000000-0000-0000-C000-000000000046}']\n"
      "    function GetCount: Integer; stdcall;\n  end;\n",
      "  IFoo = interface ['{00000000-0000-0000-C000-000000000046}'] end;\n",
      "  IFoo = interface(IUnknown) ['{0}'] end;\n",
  };
  const std::string input = EachFollowed(interfaces, "type\n", "");
  ExpectFollowersIntact(Convert(input), std::size(interfaces), input);
}

TEST(OneLineRecords, AProceduralFieldLosesOnlyItsType) {
  const char* const fields[] = {
      "OnDone: procedure;",
      "OnDone: procedure(Sender: TObject; var Done: Boolean) of object;",
      "OnDone: function(a, b: Integer): Boolean;",
      "OnDone: function: Integer;",
  };
  std::string input;
  for (size_t k = 0; k < std::size(fields); ++k)
    input += "type\n  TRec" + std::to_string(k) + " = record a: Byte; " + fields[k] + " b: Word; end;\n" + Follower(k);
  const Converted c = Convert(input);
  ExpectFollowersIntact(c, std::size(fields), input);
  for (size_t k = 0; k < std::size(fields); ++k) {
    const std::string name = "TRec" + std::to_string(k);
    // A method pointer holds its object's address too: 8 bytes aligned to 4.
    const std::string size = k == 1 ? "4_8" : "4";
    EXPECT_EQ(DeclarationOf(c.run.Lines("ClassTable_D.lua"), name),
              " " + name + " = { a : 1 ; OnDone : " + size + " ; b : 2 ; } ; ");
    EXPECT_EQ(MemberNames(c.tables.count(name) ? c.tables.at(name) : Lines{}), (Lines{"a", "OnDone", "b"})) << name;
  }
}

TEST(ArraysOfPointerAliases, NameTheElementByItsCode) {
  const Converted c = Convert(
      "type\n  PMyInt = PInteger;\n"
      "  TArrays = record xa: array [0..3] of PInteger; ya: array of PInteger; za: array[1..2] of PMyInt; end;\n");
  EXPECT_EQ(c.run.outcome, RunOutcome::kSucceeded);
  EXPECT_EQ(c.problems, Lines{});
  EXPECT_EQ(c.tables.at("TArrays"),
            (Lines{"xa = { 0 , 4 , - 1 , vt_Integer }", "ya = { 16 , - 1 , 4 , - 1 , vt_Integer }",
                   "za = { 20 , 4 , - 1 , vt_Integer }"}));
}

TEST(ShortStringMembers, AreAlignedToSingleBytesLikeStringsOfALength) {
  const Converted c = Convert(
      "type\n"
      "  TSs = record b: Byte; s: ShortString; i: Integer; end;\n"
      "  TSa = record b: Byte; a: array[0..9] of ShortString; end;\n"
      "  TSn = record b: Byte; s: String[255]; i: Integer; end;\n");
  EXPECT_EQ(c.run.outcome, RunOutcome::kSucceeded);
  const Lines e = c.run.Lines("ClassTable_E.lua");
  EXPECT_EQ(DeclarationOf(e, "TSs"),
            " TSs = { nWholeSize : 264 ; nAddSize : 264 ; nMaxSize : 4 ; b : 0 ; s : 1 ; i : 260 ; } ; ");
  EXPECT_EQ(DeclarationOf(e, "TSa"),
            " TSa = { nWholeSize : 2564 ; nAddSize : 2561 ; nMaxSize : 1 ; b : 0 ; a : 1 ; } ; ");
  EXPECT_EQ(DeclarationOf(e, "TSn"),
            " TSn = { nWholeSize : 264 ; nAddSize : 264 ; nMaxSize : 4 ; b : 0 ; s : 1 ; i : 260 ; } ; ");
}

// Every field of a one-line record gets the size rules a field on a line of
// its own gets: both ways of writing the record lay out alike.
TEST(OneLineRecords, EveryFieldIsSizedAsOnALineOfItsOwn) {
  const std::string fields[] = {"a: ^TFoo;",
                                "b: ^TBar;",
                                "s: String[20];",
                                "t: String[30];",
                                "e: set of (e1, e2);",
                                "f: set of (f1, f2, f3);",
                                "g: set of 0..15;",
                                "h: set of 0..7;",
                                "k: set of TKind;",
                                "l: set of TKind;",
                                "xa: array[0..$1F] of Byte;",
                                "ya: array[0..$0F] of Byte;",
                                "p: procedure;",
                                "q: function: Integer;"};
  std::string one_line = "  TTwo = record";
  std::string many_lines = "  TTwo = record\n";
  for (const std::string& field : fields) {
    one_line += " " + field;
    many_lines += "    " + field + "\n";
  }
  const std::string before =
      "type\n  TKind = (kA, kB);\n  TFoo = record z: Byte; end;\n  TBar = record w: Word; end;\n";
  const Converted single = Convert(before + one_line + " end;\n");
  const Converted several = Convert(before + many_lines + "  end;\n");
  ASSERT_EQ(single.run.outcome, RunOutcome::kSucceeded);
  EXPECT_EQ(DeclarationOf(single.run.Lines("ClassTable_D.lua"), "TTwo"),
            " TTwo = { a : 4 ; b : 4 ; s : 1_21 ; t : 1_31 ; e : 1 ; f : 1 ; g : 1_2 ; h : 1 ; k : 1 ; l : 1 ; "
            "xa : [ 0 .. 31 ] of 1 ; ya : [ 0 .. 15 ] of 1 ; p : 4 ; q : 4 ; } ; ");
  EXPECT_EQ(DeclarationOf(single.run.Lines("ClassTable_E.lua"), "TTwo"),
            DeclarationOf(several.run.Lines("ClassTable_E.lua"), "TTwo"));
  EXPECT_EQ(single.tables.at("TTwo"), several.tables.at("TTwo"));
  EXPECT_EQ(single.problems, Lines{});
}

// Section words, routines and their directives, and properties take only
// themselves away, as they do on lines of their own.
TEST(OneLineClasses, KeepTheirFieldsBesideSectionsAndRoutines) {
  const std::string members[] = {"private",
                                 "FA: Integer;",
                                 "strict protected",
                                 "FB: Word;",
                                 "public",
                                 "procedure Go; virtual; abstract;",
                                 "function Count: Integer; overload;",
                                 "property A: Integer read FA; default;",
                                 "constructor Create;",
                                 "OnX: procedure(Sender: TObject) of object;",
                                 "class function Make: TObject;",
                                 "published",
                                 "FC: Byte;"};
  struct Head {
    std::string name;
    std::string text;
  };
  const Head heads[] = {{"TSections", "  TSections = class"},
                        {"TRoutines", "  TRoutines = record a: Byte; procedure Go;"}};
  for (const auto& [name, head] : heads) {
    std::string one_line = head;
    std::string many_lines = head + "\n";
    for (const std::string& member : members) {
      one_line += " " + member;
      many_lines += "    " + member + "\n";
    }
    const Converted single = Convert("type\n" + one_line + " end;\n" + Follower(0));
    const Converted several = Convert("type\n" + many_lines + "  end;\n" + Follower(0));
    ExpectFollowersIntact(single, 1, one_line);
    ASSERT_EQ(single.tables.count(name), 1u) << one_line;
    EXPECT_EQ(DeclarationOf(single.run.Lines("ClassTable_E.lua"), name),
              DeclarationOf(several.run.Lines("ClassTable_E.lua"), name));
    EXPECT_EQ(single.tables.at(name), several.tables.at(name));
  }
  const Converted c = Convert("type\n  TSections = class private FA: Integer; procedure Go; virtual; abstract; "
                              "public FB: Word; end;\n");
  EXPECT_EQ(c.tables.count("TSections") ? c.tables.at("TSections") : Lines{},
            (Lines{"Vmt = { 0 , vt_Pointer }", "FA = { 4 , vt_Integer }", "FB = { 8 , vt_Word }"}));
}

TEST(WrappedProperties, LeaveNothingBehind) {
  const Converted c = Convert(
      "type\n  TWrapped = class\n    FOn: Pointer;\n    property OnIt: Pointer\n      read FOn write FOn;\n"
      "    FLast: Byte;\n  end;\n" + Follower(0));
  ExpectFollowersIntact(c, 1, "wrapped property");
  EXPECT_EQ(c.tables.count("TWrapped") ? c.tables.at("TWrapped") : Lines{},
            (Lines{"Vmt = { 0 , vt_Pointer }", "FOn = { 4 , vt_Pointer }", "FLast = { 8 , vt_Byte }"}));
}

// The names of a member end at its first colon outside brackets, and its
// type at the next semicolon outside them.
TEST(FieldGroups, OfRoutineTypesSplitAtTheirOwnColon) {
  const char* const heads[] = {"  TEvents = class\n", "  TEvents = class "};
  const char* const separators[] = {"\n    ", " "};
  for (int form = 0; form < 2; ++form) {
    const std::string declarations = std::string("type\n") + heads[form] +
                                     "OnA, OnB: procedure(Sender: TObject) of object;" + separators[form] +
                                     "F1, F2: function: Integer;" + separators[form] + "end;\n";
    const Converted c = Convert(declarations);
    EXPECT_EQ(c.run.outcome, RunOutcome::kSucceeded) << declarations;
    EXPECT_EQ(c.problems, Lines{}) << declarations;
    EXPECT_EQ(c.tables.count("TEvents") ? c.tables.at("TEvents") : Lines{},
              (Lines{"Vmt = { 0 , vt_Pointer }", "OnA = { 4 , vt_Procedure }", "OnB = { 12 , vt_Procedure }",
                     "F1 = { 20 , vt_Function }", "F2 = { 24 , vt_Function }"}))
        << declarations;
  }
}

TEST(HintDirectives, TakeTheirMessageWithThem) {
  const char* const forms[] = {
      "  TOld0 = record a: Integer; end deprecated 'Use TAfter0 instead';\n",
      "  TOld1 = record\n    a: Integer;\n  end deprecated 'Use TAfter1 instead';\n",
      "  TOld2 = record a: Integer; end platform 'Windows only';\n",
      "  TOld3 = record a: Integer deprecated 'use b'; end;\n",
      "  TOldInt = Integer deprecated 'It''s gone';\n  TOld4 = record a: TOldInt; end;\n",
      "  TOld5 = record a: Integer; end deprecated;\n",
  };
  const std::string input = EachFollowed(forms, "type\n", "");
  const Converted c = Convert(input);
  ExpectFollowersIntact(c, std::size(forms), input);
  for (size_t k = 0; k < std::size(forms); ++k) {
    const std::string name = "TOld" + std::to_string(k);
    EXPECT_EQ(c.tables.count(name) ? c.tables.at(name) : Lines{}, Lines{"a = { 0 , vt_Integer }"}) << name;
  }
}

TEST(ParenthesisedOperands, AreJustTheirValue) {
  const Converted c = Convert(
      "const\n  N = 32;\n  M = (N + 1) * 2;\ntype\n"
      "  TFace = record Face: array[0..(N)-1] of Char; end;\n"
      "  TWide = record Wide: array[0..(M)-1] of Char; Tail: array[(1)..(2)] of Word; end;\n");
  ASSERT_EQ(c.run.outcome, RunOutcome::kSucceeded);
  const Lines e = c.run.Lines("ClassTable_E.lua");
  EXPECT_EQ(DeclarationOf(e, "TFace"), " TFace = { nWholeSize : 32 ; nAddSize : 32 ; nMaxSize : 1 ; Face : 0 ; } ; ");
  EXPECT_EQ(DeclarationOf(e, "TWide"),
            " TWide = { nWholeSize : 72 ; nAddSize : 70 ; nMaxSize : 2 ; Wide : 0 ; Tail : 66 ; } ; ");
  // The bounds stay out of the element's description, even where the
  // constant is an expression the declarations never reduce.
  EXPECT_EQ(c.tables.at("TFace"), Lines{"Face = { 0 , 1 , vt_Char }"});
  EXPECT_EQ(c.tables.at("TWide"), (Lines{"Wide = { 0 , 1 , vt_Char }", "Tail = { 66 , 2 , vt_Word }"}));
  EXPECT_EQ(c.problems, Lines{});
}

// A member of a named routine type holds a routine's address, whether the
// type is declared with parameters or not, alone or as an array's element;
// a method pointer holds its object's address too.
TEST(RoutineTypes, NamedOnesDescribeTheirMembersByTheirCode) {
  const Converted c = Convert(
      "type\n"
      "  TNotify = procedure(Sender: TObject) of object;\n"
      "  TCompare = function(a, b: Pointer): Integer;\n"
      "  TSimple = procedure;\n"
      "  TMethod = procedure of object;\n"
      "  THolder = record\n"
      "    OnNotify: TNotify;\n    Compare: TCompare;\n    Simple: TSimple;\n    Method: TMethod;\n"
      "    Notifiers: array[0..1] of TNotify;\n    Compares: array of TCompare;\n"
      "    Simples: array[0..1] of TSimple;\n    Methods: array of TMethod;\n    PNotify: ^TNotify;\n"
      "  end;\n");
  ASSERT_EQ(c.run.outcome, RunOutcome::kSucceeded);
  EXPECT_EQ(c.problems, Lines{});
  EXPECT_EQ(c.tables.at("THolder"),
            (Lines{"OnNotify = { 0 , vt_Procedure }", "Compare = { 8 , vt_Function }", "Simple = { 12 , vt_Procedure }",
                   "Method = { 16 , vt_Procedure }", "Notifiers = { 24 , 8 , vt_Procedure }",
                   "Compares = { 40 , - 1 , 4 , vt_Function }", "Simples = { 44 , 4 , vt_Procedure }",
                   "Methods = { 52 , - 1 , 8 , vt_Procedure }", "PNotify = { 56 , - 1 , vt_Procedure }"}));
}

// An array of arrays is laid out and described as the array of several
// dimensions that it is.
// C libraries (Lua's own API among them) declare their callbacks cdecl.
TEST(RoutineTypes, KeepTheirCallingConventionToThemselves) {
  const char* const forms[] = {
      "  TCb = procedure(L: Pointer); cdecl;\n  TR0 = record f: TCb; b: Byte; end;\n",
      "  TR1 = record\n    cb: function(L: Pointer): Integer; cdecl;\n    b: Byte;\n  end;\n",
      "  TR2 = record cb: procedure(x: Integer); safecall; b: Byte; end;\n",
      "  TR3 = record cb: procedure; pascal; b: Byte; end;\n",
      "  TR4 = record cb: procedure(x: Integer) of object; register; b: Byte; end;\n",
  };
  const Converted c = Convert(EachFollowed(forms, "type\n", ""));
  ExpectFollowersIntact(c, std::size(forms), "calling conventions");
  const char* const codes[] = {"vt_Procedure", "vt_Function", "vt_Procedure", "vt_Procedure", "vt_Procedure"};
  for (size_t k = 0; k < std::size(forms); ++k) {
    const std::string name = "TR" + std::to_string(k);
    const std::string member = k == 0 ? "f" : "cb";
    const std::string after = k == 4 ? "8" : "4";  // a method pointer takes 8 bytes
    EXPECT_EQ(c.tables.count(name) ? c.tables.at(name) : Lines{},
              (Lines{member + " = { 0 , " + codes[k] + " }", "b = { " + after + " , vt_Byte }"}))
        << forms[k];
  }
}

TEST(ArraysOfEnumerations, AreArraysOfTheirStorage) {
  const Converted c = Convert(
      "type\n  TKind = (kA, kB, kC);\n  TKinds = set of TKind;\n"
      "  TTally = record k: TKind; a: array[0..3] of TKind; d: array of TKind; s: array[0..1] of TKinds; end;\n");
  ASSERT_EQ(c.run.outcome, RunOutcome::kSucceeded);
  EXPECT_EQ(c.problems, Lines{});
  EXPECT_EQ(c.tables.count("TTally") ? c.tables.at("TTally") : Lines{},
            (Lines{"k = { 0 , vt_Byte }", "a = { 1 , 1 , vt_Byte }", "d = { 8 , - 1 , 1 , vt_Byte }",
                   "s = { 12 , 1 , vt_Byte }"}));
}

TEST(ClassModifiers, ChangeNothingOfTheLayout) {
  const char* const forms[] = {
      "  TSealed = class sealed\n    a: Integer;\n  end;\n",
      "  TAbstract = class abstract(TObject) a: Integer; end;\n",
  };
  const Converted c = Convert(EachFollowed(forms, "type\n", ""));
  ExpectFollowersIntact(c, std::size(forms), "class modifiers");
  EXPECT_EQ(c.tables.count("TSealed") ? c.tables.at("TSealed") : Lines{},
            (Lines{"Vmt = { 0 , vt_Pointer }", "a = { 4 , vt_Integer }"}));
  EXPECT_EQ(c.tables.count("TAbstract") ? c.tables.at("TAbstract") : Lines{},
            (Lines{"Vmt = { 0 , vt_Pointer }", "a = { 4 , vt_Integer }"}));
}

TEST(ArraysOfArrays, AreDescribedByTheirInnermostElement) {
  const Converted c = Convert(
      "type\n"
      "  TGrid = record\n"
      "    a: array[0..1] of array[0..2] of Byte;\n    b: array[0..1, 0..2] of Byte;\n"
      "    c: array[0..1] of array[0..1] of array[0..1] of Word;\n    d: array[0..1] of array[0..2] of TRect;\n"
      "  end;\n");
  ASSERT_EQ(c.run.outcome, RunOutcome::kSucceeded);
  EXPECT_EQ(c.problems, Lines{});
  EXPECT_EQ(c.tables.at("TGrid"), (Lines{"a = { 0 , 1 , vt_Byte }", "b = { 6 , 1 , vt_Byte }",
                                         "c = { 12 , 2 , vt_Word }", "d = { 28 , 16 , TRect }"}));
}

// The forms of real units that the reading stages once lost, garbled or
// failed on, and the structure shapes the layout once could not take, each
// as the smallest declarations that show it. Each converts with the success
// message, loads with every entry numeric-first and every named table
// defined, and gives the offsets a 32-bit compiler gives (the harness of
// tests/compiler_layouts agrees on every offset here but TXSizeHints' variant
// part, which Delphi starts at 44, after items, and the harness's {$A8} at 48).
struct RealForm {
  const char* form;
  const char* declarations;
  std::map<std::string, Lines> tables;
};

TEST(RealUnits, EveryFormConvertsLoadsAndLaysOut) {
  const RealForm forms[] = {
      {"keywords in any case",
       "type\n"
       "  TMod = (mA, mB, mC);\n"
       "  TMods = Set of TMod;\n"
       "  TKeyRec = Packed Record\n"
       "    FModifiers: TMods;\n"
       "    FArr: Array[0..3] Of Byte;\n"
       "    FNext: ^TKeyRec;\n"
       "  END;\n",
       {{"TKeyRec", {"FModifiers = { 0 , vt_Byte }", "FArr = { 1 , 1 , vt_Byte }", "FNext = { 5 , - 1 , TKeyRec }"}}}},
      {"pointers to a record without fields (the Win32 header's opaque handles), which has no table",
       "type\n"
       "  emptyrecord = record end;\n"
       "  HPROPSHEETPAGE = ^emptyrecord;\n"
       "  TSheet = record n: Byte; p: ^emptyrecord; h: HPROPSHEETPAGE; ph: ^HPROPSHEETPAGE; end;\n",
       {{"TSheet", {"n = { 0 , vt_Byte }", "p = { 4 , vt_Pointer }", "h = { 8 , vt_Pointer }",
                    "ph = { 12 , - 1 , vt_Pointer }"}}}},
      {"packed arrays, in a variant part too (glue.inc of the libc binding)",
       "type\n"
       "  __mbstate_t = record\n"
       "    count: Integer;\n"
       "    case { __value } Integer of\n"
       "      0: (__wch: Cardinal);\n"
       "      1: (__wchb: packed array[0..4 - 1] of Char; __rest: packed array of Double);\n"
       "    end;\n",
       {{"__mbstate_t", {"count = { 0 , vt_Integer }", "__wch = { 4 , vt_Cardinal }", "__wchb = { 4 , 1 , vt_Char }",
                         "__rest = { 8 , - 1 , 8 , vt_Double }"}}}},
      {"declarations sharing a line",
       "type\n"
       "  cuchar = Byte; pcuchar = ^cuchar;\n"
       "const A = 1; B = 2;\n"
       "type TA = record a: Integer; end; TB = record b: Byte; end;\n"
       "  TC = record x: cuchar; y: pcuchar; z: array[0..B] of Byte; t: TB; end;\n",
       {{"TA", {"a = { 0 , vt_Integer }"}},
        {"TB", {"b = { 0 , vt_Byte }"}},
        {"TC", {"x = { 0 , vt_Byte }", "y = { 4 , - 1 , vt_Byte }", "z = { 8 , 1 , vt_Byte }", "t = { 11 , TB }"}}}},
      {"a head over several lines",
       "type\n"
       "  _FILETIME =\n"
       "    packed\n"
       "    record\n"
       "      lo: DWORD;\n"
       "      hi: Byte;\n"
       "    end;\n"
       "  TNames = record\n"
       "    a,\n"
       "    b: Word;\n"
       "  end;\n",
       {{"_FILETIME", {"lo = { 0 , vt_DWord }", "hi = { 4 , vt_Byte }"}},
        {"TNames", {"a = { 0 , vt_Word }", "b = { 2 , vt_Word }"}}}},
      {"a caret apart from its type",
       "type\n"
       "  PGUID = ^ TGUID;\n"
       "  TGUID = record D1: Cardinal; end;\n"
       "  TFoo = record IIDRef: ^ PGUID; b: Byte; end;\n",
       {{"TGUID", {"D1 = { 0 , vt_Cardinal }"}},
        {"TFoo", {"IIDRef = { 0 , - 2 , TGUID }", "b = { 4 , vt_Byte }"}}}},
      {"a comment between words",
       "type\n"
       "  TR = record{ fields }a: Integer; end;\n"
       "  TP = packed{x}record b: Byte; c: Integer; end;\n"
       "  TQ = record{\n"
       "  }a: Byte; end;\n",
       {{"TR", {"a = { 0 , vt_Integer }"}},
        {"TP", {"b = { 0 , vt_Byte }", "c = { 1 , vt_Integer }"}},
        {"TQ", {"a = { 0 , vt_Byte }"}}}},
      {"unit-qualified names",
       "type\n"
       "  TQ = record h: System.THandle; w: Windows.DWORD; p: ^Types.TRect; end;\n",
       {{"TQ", {"h = { 0 , vt_Longword }", "w = { 4 , vt_DWord }", "p = { 8 , - 1 , TRect }"}}}},
      {"targets in another case",
       "type\n"
       "  TXPointer = ^char;\n"
       "  PLong = ^longint;\n"
       "  TR = record p: TXPointer; q: PLong; end;\n",
       {{"TR", {"p = { 0 , - 1 , vt_Char }", "q = { 4 , - 1 , vt_Longint }"}}}},
      {"nested sections",
       "type\n"
       "  TOuter = class\n"
       "  public type\n"
       "    TDirection = (dA, dB);\n"
       "    TInner = record x, y: Word; end;\n"
       "  private\n"
       "    FDir: TDirection;\n"
       "  const\n"
       "    CMax = 5;\n"
       "  var\n"
       "    FArr: array[0..CMax] of Byte;\n"
       "    FIn: TInner;\n"
       "  class var\n"
       "    FCount: Integer;\n"
       "  end;\n",
       {{"TInner", {"x = { 0 , vt_Word }", "y = { 2 , vt_Word }"}},
        {"TOuter", {"Vmt = { 0 , vt_Pointer }", "FDir = { 4 , vt_Byte }", "FArr = { 5 , 1 , vt_Byte }", "FIn = { 12 , TInner }"}}}},
      {"routines of every form",
       "type\n"
       "  TR = record\n"
       "    a: Integer;\n"
       "    class operator + (const x, y: TR): TR;\n"
       "    class procedure Foo; static;\n"
       "    class function Bar(x: Integer): Integer;\n"
       "    b: Byte;\n"
       "  end;\n"
       "  TC = class\n"
       "  strict private\n"
       "    FA: Integer;\n"
       "  strict protected\n"
       "    FB: Byte;\n"
       "    generic class procedure From<T>(const x: T);\n"
       "    constructor Create; overload; inline;\n"
       "    destructor Destroy; override;\n"
       "    property Items[I: Integer]: Integer index 3 read GetItem; default;\n"
       "    operator := (x: Integer): TC;\n"
       "  public\n"
       "    FC: Word;\n"
       "  end;\n",
       {{"TR", {"a = { 0 , vt_Integer }", "b = { 4 , vt_Byte }"}},
        {"TC", {"Vmt = { 0 , vt_Pointer }", "FA = { 4 , vt_Integer }", "FB = { 8 , vt_Byte }", "FC = { 10 , vt_Word }"}}}},
      {"old-style objects",
       "type\n"
       "  ObPlain = object\n"
       "    a: Byte;\n"
       "    b: Integer;\n"
       "    procedure Show;\n"
       "  end;\n"
       "  ObKid = object(ObPlain)\n"
       "    c: Byte;\n"
       "  end;\n"
       "  OvVirt = object\n"
       "    a: Byte;\n"
       "    b: Integer;\n"
       "    constructor Init;\n"
       "    procedure Show; virtual;\n"
       "  end;\n"
       "  OvUser = record\n"
       "    b: Byte;\n"
       "    o: OvVirt;\n"
       "    c: Byte;\n"
       "  end;\n",
       {{"ObPlain", {"a = { 0 , vt_Byte }", "b = { 4 , vt_Integer }"}},
        {"ObKid", {"a = { 0 , vt_Byte }", "b = { 4 , vt_Integer }", "c = { 8 , vt_Byte }"}},
        {"OvVirt", {"a = { 0 , vt_Byte }", "b = { 4 , vt_Integer }", "Vmt = { 8 , vt_Pointer }"}},
        {"OvUser", {"b = { 0 , vt_Byte }", "o = { 4 , OvVirt }", "c = { 16 , vt_Byte }"}}}},
      {"calling conventions",
       "type\n"
       "  FARPROC = function: Integer; stdcall;\n"
       "  TCallback = procedure(P: Pointer) cdecl;\n"
       "  TR = record\n"
       "    f: FARPROC;\n"
       "    c: TCallback;\n"
       "    g: function(x: Integer): Integer; stdcall;\n"
       "    b: Byte;\n"
       "  end;\n",
       {{"TR", {"f = { 0 , vt_Function }", "c = { 4 , vt_Procedure }", "g = { 8 , vt_Function }", "b = { 12 , vt_Byte }"}}}},
      {"interface fields",
       "type\n"
       "  IFoo = interface(IUnknown)\n"
       "    ['{00000000-0000-0000-C000-000000000046}']\n"
       "    procedure X; stdcall;\n"
       "  end;\n"
       "  TR = record a: Byte; FIntf: IFoo; u: IInterface; b: Byte; end;\n",
       {{"TR", {"a = { 0 , vt_Byte }", "FIntf = { 4 , vt_Interface }", "u = { 8 , vt_Interface }", "b = { 12 , vt_Byte }"}}}},
      {"typed constants",
       "type\n"
       "  TError = (eA, eB, eC);\n"
       "const\n"
       "  Codes: array[TError] of Byte = (0, 203, 204);\n"
       "  Next: array[0..1] of Integer =\n"
       "    (1, 2);\n"
       "  Pt: TPoint = (X: 1; Y: 2);\n"
       "  Size: Integer = 3;\n"
       "type\n"
       "  TR = record a: Byte; s: array[0..Size] of Byte; end;\n",
       {{"TR", {"a = { 0 , vt_Byte }", "s = { 1 , 1 , vt_Byte }"}}}},
      {"a type cast",
       "const\n"
       "  MAX_CHARS = WORD(16);\n"
       "type\n"
       "  TR = record s: array[0..MAX_CHARS - 1] of Byte; b: Byte; end;\n",
       {{"TR", {"s = { 0 , 1 , vt_Byte }", "b = { 16 , vt_Byte }"}}}},
      {"built-in names",
       "type\n"
       "  TR = record a: QWord; b: Int8; c: UInt16; d: PtrUInt; e: UnicodeString; f: PAnsiChar; g: TBytes; h: PUInt32; end;\n",
       {{"TR", {"a = { 0 , vt_Int64 }", "b = { 8 , vt_Shortint }", "c = { 10 , vt_Word }", "d = { 12 , vt_Cardinal }", "e = { 16 , vt_WideString }", "f = { 20 , vt_PChar }", "g = { 24 , - 1 , 1 , vt_Byte }", "h = { 28 , - 1 , vt_Longword }"}}}},
      {"an alias of a structure",
       "type\n"
       "  _ACE_HEADER = record AceType, AceFlags: Byte; AceSize: Word; end;\n"
       "  ACE_HEADER = _ACE_HEADER;\n"
       "  TAceHeader = type ACE_HEADER;\n"
       "  PACE_HEADER = ^ACE_HEADER;\n"
       "  png_byte = Byte;\n"
       "  TAce = record\n"
       "    Header: ACE_HEADER;\n"
       "    Mask: LongWord;\n"
       "    Chain: TAceHeader;\n"
       "    Headers: array[0..1] of ACE_HEADER;\n"
       "    Next: PACE_HEADER;\n"
       "    Bytes: array[0..7] of png_byte;\n"
       "  end;\n",
       {{"TAce", {"Header = { 0 , _ACE_HEADER }", "Mask = { 4 , vt_Longword }", "Chain = { 8 , _ACE_HEADER }",
                  "Headers = { 12 , 4 , _ACE_HEADER }", "Next = { 20 , - 1 , _ACE_HEADER }",
                  "Bytes = { 24 , 1 , vt_Byte }"}}}},
      {"variant parts",
       "type\n"
       "  _LARGE_INTEGER = record\n"
       "    case Integer of\n"
       "      0: (LowPart: DWORD;\n"
       "          HighPart: Longint);\n"
       "      1: (QuadPart: Int64);\n"
       "  end;\n"
       "  TVRect = record\n"
       "    case Integer of\n"
       "      0: (Left, Top, Right, Bottom: Longint);\n"
       "      1: (TopLeft, BottomRight: TPoint);\n"
       "  end;\n"
       "  TVMsg = packed record Msg: Word; case Kind: Byte of\n"
       "    0, 1: (W: Word; case Boolean of True: (L: Longint); False: (B: Byte));\n"
       "    2..5: (D: Double) end;\n"
       "  TVUser = record b: Byte; li: _LARGE_INTEGER; end;\n",
       {{"_LARGE_INTEGER", {"LowPart = { 0 , vt_DWord }", "HighPart = { 4 , vt_Longint }", "QuadPart = { 0 , vt_Int64 }"}},
        {"TVRect", {"Left = { 0 , vt_Longint }", "Top = { 4 , vt_Longint }", "Right = { 8 , vt_Longint }",
                    "Bottom = { 12 , vt_Longint }", "TopLeft = { 0 , TPoint }", "BottomRight = { 8 , TPoint }"}},
        {"TVMsg", {"Msg = { 0 , vt_Word }", "Kind = { 2 , vt_Byte }", "W = { 3 , vt_Word }", "L = { 5 , vt_Longint }",
                   "B = { 5 , vt_Byte }", "D = { 3 , vt_Double }"}},
        {"TVUser", {"b = { 0 , vt_Byte }", "li = { 8 , _LARGE_INTEGER }"}}}},
      {"fields of an anonymous record type",
       "const\n"
       "  TXSizeHints_p = 3;\n"
       "type\n"
       "  TXSizeHints = record\n"
       "    flags: Longint;\n"
       "    min_aspect, max_aspect: record x, y: Longint; end;\n"
       "    p: packed record b: Byte; i: Integer; end;\n"
       "    items: array[0..1] of\n"
       "      record\n"
       "        k: Byte;\n"
       "        inner: record l: Longint; end;\n"
       "      end;\n"
       "    case Integer of\n"
       "      0: (pt: record px, py: Smallint; end);\n"
       "      1: (all: Longint);\n"
       "  end;\n",
       {{"TXSizeHints_min_aspect", {"x = { 0 , vt_Longint }", "y = { 4 , vt_Longint }"}},
        {"TXSizeHints_p_2", {"b = { 0 , vt_Byte }", "i = { 1 , vt_Integer }"}},
        {"TXSizeHints_items", {"k = { 0 , vt_Byte }", "inner = { 4 , TXSizeHints_items_inner }"}},
        {"TXSizeHints_items_inner", {"l = { 0 , vt_Longint }"}},
        {"TXSizeHints_pt", {"px = { 0 , vt_Smallint }", "py = { 2 , vt_Smallint }"}},
        {"TXSizeHints", {"flags = { 0 , vt_Longint }", "min_aspect = { 4 , TXSizeHints_min_aspect }",
                         "max_aspect = { 12 , TXSizeHints_min_aspect }", "p = { 20 , TXSizeHints_p_2 }",
                         "items = { 28 , 8 , TXSizeHints_items }", "pt = { 44 , TXSizeHints_pt }",
                         "all = { 44 , vt_Longint }"}}}},
      {"arrays indexed by a type",
       "type\n"
       "  TKind = (kA, kB, kC);\n"
       "  TSub = 3..7;\n"
       "  TIdx = record\n"
       "    b: Byte;\n"
       "    all: array[Byte] of Byte;\n"
       "    flags: array[Boolean] of Integer;\n"
       "    names: array[TKind] of Word;\n"
       "    vals: array[TSub] of Integer;\n"
       "    grid: array[TKind, Boolean] of Byte;\n"
       "    m: array[Low(TKind)..High(TKind)] of Integer;\n"
       "    chars: array['a'..'c'] of Byte;\n"
       "    neg: array[-1..1] of Byte;\n"
       "    byname: array[kB..kC] of Byte;\n"
       "  end;\n",
       {{"TIdx", {"b = { 0 , vt_Byte }", "all = { 1 , 1 , vt_Byte }", "flags = { 260 , 4 , vt_Integer }",
                  "names = { 268 , 2 , vt_Word }", "vals = { 276 , 4 , vt_Integer }", "grid = { 296 , 1 , vt_Byte }",
                  "m = { 304 , 4 , vt_Integer }", "chars = { 316 , 1 , vt_Byte }", "neg = { 319 , 1 , vt_Byte }",
                  "byname = { 322 , 1 , vt_Byte }"}}}},
      {"subrange types",
       "type\n"
       "  TDay = 1..31;\n"
       "  TColour = (cRed, cOrange, cYellow, cGreen);\n"
       "  TWarm = cRed..cYellow;\n"
       "  TSr = record\n"
       "    a: 0..255;\n"
       "    b: -128..127;\n"
       "    w: Low(Word)..High(Word);\n"
       "    s: -1..1000;\n"
       "    l: 0..70000;\n"
       "    day: TDay;\n"
       "    warm: TWarm;\n"
       "    n: -40000..40000;\n"
       "    days: array[0..1] of TDay;\n"
       "  end;\n",
       {{"TSr", {"a = { 0 , vt_Byte }", "b = { 1 , vt_Shortint }", "w = { 2 , vt_Word }", "s = { 4 , vt_Smallint }",
                 "l = { 8 , vt_Longword }", "day = { 12 , vt_Byte }", "warm = { 13 , vt_Byte }",
                 "n = { 16 , vt_Longint }", "days = { 20 , 1 , vt_Byte }"}}}},
      {"field names as written",
       "type\n"
       "  TMy = record\n"
       "    x: Integer;\n"
       "    y: Integer;\n"
       "    frefcount: Integer;\n"
       "  end;\n"
       "  TOther = record\n"
       "    FRefCount: Integer;\n"
       "  end;\n",
       {{"TMy", {"x = { 0 , vt_Integer }", "y = { 4 , vt_Integer }", "frefcount = { 8 , vt_Integer }"}},
        {"TOther", {"FRefCount = { 0 , vt_Integer }"}}}},
  };
  for (const RealForm& f : forms) {
    const Converted c = Convert(f.declarations);
    EXPECT_EQ(c.run.outcome, RunOutcome::kSucceeded) << f.form;
    EXPECT_EQ(c.problems, Lines{}) << f.form;
    for (const auto& [name, entries] : f.tables)
      EXPECT_EQ(c.tables.count(name) ? c.tables.at(name) : Lines{}, entries) << f.form << ": " << name;
  }
}

// A structure that cannot be laid out costs only itself: the run still ends
// with the failure message, and the script holds every structure that was
// laid out, loads, and names in no entry a table it left out. The log names
// each structure left out, what stopped it and its line of the input.
TEST(StructuresLeftOut, CostOnlyThemselves) {
  const Converted c = Convert(
      "type\n"
      "  TGood = record a: Byte; b: Integer; end;\n"
      "  TBad = record\n"
      "    x: Byte;\n"
      "    y: TMissing;\n"
      "  end;\n"
      "  PBad = ^TBad;\n"
      "  TKid = class(TNoParent) k: Integer; end;\n"
      "  TUser = record g: TGood; p: PBad; q: ^PBad; d: array of TBad; c: TKid; z: Byte; end;\n"
      "  TPrivs = record n: Cardinal; l: array[0..1] of LUID_AND_ATTRIBUTES; end;\n"
      "  TLoose = packed record w: Word; v: TMissing; end;\n");
  EXPECT_EQ(c.run.outcome, RunOutcome::kFailed);
  EXPECT_EQ(c.problems, Lines{});
  EXPECT_EQ(c.tables.at("TGood"), (Lines{"a = { 0 , vt_Byte }", "b = { 4 , vt_Integer }"}));
  // What pointed to a structure left out points to plain bytes now.
  EXPECT_EQ(c.tables.at("TUser"), (Lines{"g = { 0 , TGood }", "p = { 8 , vt_Pointer }", "q = { 12 , - 1 , vt_Pointer }",
                                        "d = { 16 , vt_Pointer }", "c = { 20 , vt_Pointer }", "z = { 24 , vt_Byte }"}));
  for (const char* left_out : {"TBad", "TKid", "TPrivs", "TLoose"}) EXPECT_EQ(c.tables.count(left_out), 0u) << left_out;
  const size_t first = FirstDeclarationLine();
  auto where = [&](size_t k) { return "（ClassTable.txt 第 " + std::to_string(first + k) + " 行）"; };
  auto logged = [&](const std::string& line) {
    for (const std::string& logged_line : c.run.log)
      if (logged_line == line) return true;
    return false;
  };
  const std::string head = "--------------------结构 ";
  const std::string middle = " 未能生成偏移，已从 ClassType.lua 中略去：";
  EXPECT_TRUE(logged(head + "TBad" + middle + "成员 y 未知数据类型: \"TMissing\"" + where(2)));
  EXPECT_TRUE(logged(head + "TKid" + middle + "父类 未知数据类型: \"TNoParent\"" + where(7)));
  EXPECT_TRUE(logged(head + "TPrivs" + middle + "成员 l 未知数据类型: \"array [ 0 .. 1 ] of LUID_AND_ATTRIBUTES\"" +
                     where(9)));
  EXPECT_TRUE(logged(head + "TLoose" + middle + "成员 v 未知数据类型: \"TMissing\"" + where(10)));
  // Each is reported once: the script's last check never meets them.
  for (const std::string& line : c.run.log) {
    EXPECT_EQ(line.find("ClassType.lua 略去了"), std::string::npos) << line;
    EXPECT_EQ(line.find("ClassType.lua 中却没有它的表"), std::string::npos) << line;
  }
  EXPECT_TRUE(logged("--------------------TUser.p 指向已略去的结构 TBad，改写为普通指针" + where(8)));
}

}  // namespace
}  // namespace ct::testing
