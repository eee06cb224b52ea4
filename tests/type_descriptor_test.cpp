#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "pipeline/accessors/descriptor.h"

namespace ct::testing {
namespace {

// An enumeration of `count` values: 256 fit a Byte, 257 need a Word.
std::string Enumeration(int count) {
  std::string values = "( v0";
  for (int i = 1; i < count; ++i) values += " , v" + std::to_string(i);
  return values + " )";
}
std::string WideEnumeration() { return Enumeration(257); }

// The three lists as the accessor format finds them: definitions restored
// to their declared text in both lists, structures laid out in the working
// list and still carrying their sizes in the snapshot.
const std::vector<std::string> kDefinitions = {
    " vt_Integer = 1 ; ",
    " vt_Shortint = 3 ; ",
    " vt_Longint = 5 ; ",
    " vt_Int64 = 6 ; ",
    " vt_Byte = 7 ; ",
    " vt_Word = 8 ; ",
    " vt_Longword = 9 ; ",
    " vt_ShortString = 23 ; ",
    " vt_PChar = 27 ; ",
    " vt_Pointer = 36 ; ",
    " vt_PString = 38 ; ",
    " vt_Function = 57 ; ",
    " vt_Procedure = 58 ; ",
    " Integer = 4 ; ",
    " Shortint = 1 ; ",
    " Longint = 4 ; ",
    " Byte = 1 ; ",
    " Word = 2 ; ",
    " Longword = 4 ; ",
    " PChar = 4 ; ",
    " Pointer = 4 ; ",
    " AnsiString = 4 ; ",
    " ShortString = 1_256 ; ",
    " N = 20 ; ",
    " PInteger = ^Integer ; ",
    " PAnsiString = ^AnsiString ; ",
    " PString = PAnsiString ; ",
    " PPChar = ^PChar ; ",
    " PMyInt = PInteger ; ",
    " LPInteger = PInteger ; ",
    " THandle = LongWord ; ",
    " PHandle = ^THandle ; ",
    " TNameType = ( ntA , ntB , ntC ) ; ",
    " TWideEnum = " + WideEnumeration() + " ; ",
    " TStringsDefined = set of ( sdDelimiter , sdQuoteChar , sdNameValueSeparator ) ; ",
    " TBigSet = set of 0 .. 39 ; ",
    " TWordSet = set of 0 .. 15 ; ",
    " TDay = 1 .. 31 ; ",
    " TProc = procedure ; ",
    " TCompare = function ( A , B : Pointer ) : Integer ; ",
    " PRect = ^TRect ; ",
    " TRectAlias = TRect ; ",
    // Cycles that no compiler would accept, but that a header may contain.
    " TCycA = TCycB ; ",
    " TCycB = TCycA ; ",
    " PCycA = ^PCycB ; ",
    " PCycB = ^PCycA ; ",
    " TSelf = TSelf ; ",
};

struct Fixture {
  LineList working;
  LineList reference;
  LineList snapshot;

  Fixture() {
    std::vector<std::string> reference_lines = kDefinitions;
    reference_lines.push_back(" TRect = { Left : Longint ; Top : Longint ; Right : Longint ; Bottom : Longint ; } ; ");
    reference_lines.push_back(" TStrings = { Vmt : Pointer ; } ; ");
    std::vector<std::string> working_lines = kDefinitions;
    working_lines.push_back(" TRect = { Left : 0 ; Top : 4 ; Right : 8 ; Bottom : 12 ; } ; ");
    working_lines.push_back(" TStrings = { Vmt : 0 ; } ; ");
    std::vector<std::string> snapshot_lines = {
        " TRect = { nWholeSize : 16 ; nAddSize : 16 ; nMaxSize : 4 ; Left : 0 ; Top : 4 ; Right : 8 ; Bottom : 12 ; } ; ",
        " TStrings = { nWholeSize : 4 ; nAddSize : 4 ; nMaxSize : 4 ; Vmt : 0 ; } ; ",
    };
    working = LineList(working_lines);
    reference = LineList(reference_lines);
    snapshot = LineList(snapshot_lines);
  }

  std::string Resolve(std::string_view type) const { return ResolveTypeDescriptor(working, reference, snapshot, type); }
};

struct Case {
  const char* declared;
  const char* descriptor;
};

void ExpectDescriptors(const std::vector<Case>& cases) {
  Fixture lists;
  for (const Case& c : cases) EXPECT_EQ(lists.Resolve(c.declared), c.descriptor) << "declared type: " << c.declared;
}

TEST(TypeDescriptor, BasicTypesAndAliasesGiveTheirCode) {
  ExpectDescriptors({
      {"Integer", "vt_Integer"},
      // The code keeps the spelling of the alias target.
      {"THandle", "vt_Longword"},
      {"PString", "vt_PString"},
      {"TRect", "TRect"},
      {"TRectAlias", "TRect"},
      // Unknown names are passed through as written.
      {"TUndeclared", "TUndeclared"},
  });
}

TEST(TypeDescriptor, PointersCountTheirIndirections) {
  ExpectDescriptors({
      {"PInteger", "-1,vt_Integer"},
      {"^Integer", "-1,vt_Integer"},
      {"^^Integer", "-2,vt_Integer"},
      {"PPChar", "-1,vt_PChar"},
      {"PMyInt", "-1,vt_Integer"},
      // Its name holds the name of the pointer type it names (LPBYTE = PByte).
      {"LPInteger", "-1,vt_Integer"},
      // A class reference, marked as a pointer by the normalisation.
      {"^TStrings", "-1,TStrings"},
      {"PRect", "-1,TRect"},
  });
}

TEST(TypeDescriptor, ArraysGiveElementSizeAndKind) {
  ExpectDescriptors({
      {"array [ 0 .. 3 ] of Integer", "4,vt_Integer"},
      {"array [ 0 .. 3 ] of TRect", "16,TRect"},
      {"array [ 0 .. 3 ] of ^TRect", "4,-1,TRect"},
      {"array of TRect", "-1,16,TRect"},
      // Every dynamic array starts with its indirection.
      {"array of Integer", "-1,4,vt_Integer"},
      // A bound the operator evaluation left in brackets lists no
      // enumeration values.
      {"array [ 0 .. ( K ) - 1 ] of Integer", "4,vt_Integer"},
      {"array [ ( K ) .. 9 ] of TRect", "16,TRect"},
      // An array of arrays is described by its innermost element, as an
      // array of several dimensions is.
      {"array [ 0 .. 1 ] of array [ 0 .. 2 ] of Integer", "4,vt_Integer"},
      {"array [ 0 .. 1 ] of array [ 0 .. 2 ] of array [ 1 .. 2 ] of TRect", "16,TRect"},
      {"array [ 0 .. 1 , 0 .. 2 ] of Integer", "4,vt_Integer"},
      // An alias is followed to what tells the element's size.
      {"array [ 0 .. 3 ] of THandle", "4,vt_Longword"},
      {"array [ 0 .. 1 ] of TRectAlias", "16,TRect"},
      {"array of TRectAlias", "-1,16,TRect"},
  });
}

TEST(TypeDescriptor, ShortStringsAndArraysOfThem) {
  ExpectDescriptors({
      {"String [ 20 ]", "vt_ShortString"},
      {"array [ 1 .. 4 ] of String [ 20 ]", "21,vt_ShortString"},
      {"array [ 1 .. 4 ] of String [ N ]", "21,vt_ShortString"},
      {"array of String [ 20 ]", "-1,21,vt_ShortString"},
      // An unknown length leaves the element as a plain short string.
      {"array [ 1 .. 4 ] of String [ M ]", "vt_ShortString"},
  });
}

TEST(TypeDescriptor, SetsEnumerationsAndSubrangesGiveTheirStorage) {
  const std::string full = Enumeration(256);
  const std::string values = WideEnumeration();
  ExpectDescriptors({
      {"TNameType", "vt_Byte"},
      {"TStringsDefined", "vt_Byte"},
      {"( a , b )", "vt_Byte"},
      {full.c_str(), "vt_Byte"},
      {values.c_str(), "vt_Word"},
      {"( a , b = 70000 )", "vt_Longword"},
      {"( a = - 1 , b )", "vt_Shortint"},
      // A set reads as the integer of its size, a longer one as its bytes.
      {"set of 0 .. 15", "vt_Word"},
      {"set of 0 .. 31", "vt_Longword"},
      {"set of 0 .. 39", "1,vt_Byte"},
      {"set of Byte", "1,vt_Byte"},
      {"set of TWideEnum", "1,vt_Byte"},
      {"set of TUnknown", "vt_Byte"},
      // As array elements they are integers of that storage, never the
      // text of their values.
      {"array [ 0 .. 3 ] of TNameType", "1,vt_Byte"},
      {"array of TNameType", "-1,1,vt_Byte"},
      {"array [ 0 .. 1 ] of TStringsDefined", "1,vt_Byte"},
      {"array [ 0 .. 1 ] of TWideEnum", "2,vt_Word"},
      {"array [ 0 .. 1 ] of TWordSet", "2,vt_Word"},
      {"array [ 0 .. 1 ] of TBigSet", "5,1,vt_Byte"},
      {"array of TBigSet", "-1,5,1,vt_Byte"},
      // A subrange reads as the integer that stores it, never as its bounds.
      {"0 .. N", "vt_Byte"},
      {"- 128 .. 127", "vt_Shortint"},
      {"Low ( Word ) .. High ( Word )", "vt_Word"},
      {"ntB .. ntC", "vt_Byte"},
      {"TDay", "vt_Byte"},
      {"array [ 0 .. 3 ] of 0 .. 70000", "4,vt_Longword"},
      {"array [ 0 .. 3 ] of TDay", "1,vt_Byte"},
  });
}

TEST(TypeDescriptor, ProceduralTypes) {
  ExpectDescriptors({
      {"TProc", "vt_Procedure"},
      {"procedure", "vt_Procedure"},
      {"procedure of object", "vt_Procedure"},
      // Written out with parameters: the leading keyword decides, whatever
      // the parameter types are called.
      {"procedure ( Sender : TObject ) of object", "vt_Procedure"},
      {"function ( p : TProcedureList ) : Boolean", "vt_Function"},
      {"function : TProcedureKind", "vt_Function"},
      {"procedure ( a : Integer ; f : TFunctionList )", "vt_Procedure"},
      // A named procedural type with parameters is no alias, yet its
      // members hold a routine's address like those of any other.
      {"TCompare", "vt_Function"},
      {"^TCompare", "-1,vt_Function"},
      {"array [ 0 .. 1 ] of TCompare", "4,vt_Function"},
      {"array of TCompare", "-1,4,vt_Function"},
      {"array [ 0 .. 1 ] of TProc", "4,vt_Procedure"},
      {"array of TProc", "-1,4,vt_Procedure"},
      // Only the keyword as a word of its own makes a routine.
      {"TProcedureKind", "TProcedureKind"},
      {"TFunctionList", "TFunctionList"},
  });
}

// The element of an array of pointers is resolved to its code or table like
// any other type, so that Lua never meets a bare type name.
TEST(TypeDescriptor, ArraysOfPointersKeepTheElementCode) {
  ExpectDescriptors({
      {"array [ 0 .. 3 ] of PInteger", "4,-1,vt_Integer"},
      {"array of PInteger", "-1,4,-1,vt_Integer"},
      {"array of ^Integer", "-1,4,-1,vt_Integer"},
      {"array of ^TRect", "-1,4,-1,TRect"},
      {"array [ 0 .. 3 ] of PHandle", "4,-1,vt_Longword"},
      {"array of PHandle", "-1,4,-1,vt_Longword"},
      {"PHandle", "-1,vt_Longword"},
  });
}

// Each alias is followed at most once per walk, so a cycle ends with a name
// of the cycle (which Lua then sees as an unknown global) instead of
// hanging the run.
TEST(TypeDescriptor, CyclicAliasesEndWithANameOfTheCycle) {
  Fixture lists;
  const char* const types[] = {"TCycA", "TSelf", "PCycA", "^TCycB", "array of TCycA", "array [ 0 .. 1 ] of TCycB",
                               "array of PCycB", "array [ 0 .. 1 ] of PCycA"};
  for (const char* type : types) {
    const std::string descriptor = lists.Resolve(type);
    EXPECT_TRUE(descriptor.find("Cyc") != std::string::npos || descriptor.find("TSelf") != std::string::npos)
        << type << " gave " << descriptor;
  }
}

}  // namespace
}  // namespace ct::testing
