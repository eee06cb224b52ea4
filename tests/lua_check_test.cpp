#include "tests/support/lua_check.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ct::testing {
namespace {

using Problems = std::vector<std::string>;

// The shape the converter writes: constants, tables with a trailing comma,
// then the binding lines.
const char* const kSound =
    " vt_Integer = 1 \r\n"
    " vt_Word = 8 \r\n"
    " TItem = { \r\n"
    "\tX = { 0 , vt_Word } , \r\n"
    "\tP = { 4 , - 1 , vt_Integer } , \r\n"
    "}\r\n"
    " TOwner = { \r\n"
    "\tItem = { 0 , TItem } , \r\n"
    "\tItems = { 8 , 8 , TItem } , \r\n"
    "}\r\n"
    " TItem.__index = BindGet \r\n"
    " TItem.__newindex = BindSet \r\n"
    " TOwner.__index = BindGet \r\n"
    " TOwner.__newindex = BindSet \r\n";

TEST(LuaCheck, AcceptsASoundScript) { EXPECT_EQ(CheckClassTypeLua(kSound), Problems{}); }

TEST(LuaCheck, AcceptsGbkBytesInsideStrings) {
  std::string script = std::string(kSound) + " TItem [ \"\xC0\xE0\xD0\xCD\" ] = { 8 , vt_Word } \r\n";
  EXPECT_EQ(CheckClassTypeLua(script), Problems{});
}

// Whatever reaches the script from the input must not make it do anything
// a host would notice besides defining tables.
TEST(LuaCheck, NamesEveryGlobalTouchedBesidesTheTables) {
  const struct {
    const char* name;
    std::string appended;
    Problems problems;
  } cases[] = {
      {"a library call", " os.execute ( \"touch x\" ) \r\n",
       {"does not run: ClassType.lua:15: attempt to index a nil value (global 'os')", "reads the undefined global os"}},
      {"a call of a binding", " BindGet ( ) \r\n", {"calls BindGet 1 time(s)"}},
      {"a call of a function the script makes", " ; ( function ( ) end ) ( ) \r\n", {"calls a function 1 time(s)"}},
      {"a function defined", " function Hello ( ) end \r\n", {"gives the global Hello a function"}},
      {"a boolean defined", " Visible = true \r\n", {"gives the global Visible a boolean"}},
      {"a binding replaced", " BindSet = 5 \r\n", {"replaces BindSet"}},
      {"a loop that never ends", " while true do end \r\n", {"does not run: instruction limit reached"}},
      {"a type code the prelude defines", " TItem.Y = { 2 , vt_Byte } \r\n", {}},
  };
  for (const auto& c : cases) EXPECT_EQ(CheckClassTypeLua(kSound + c.appended), c.problems) << c.name;
}

TEST(LuaCheck, RefusesAPrecompiledChunk) {
  std::vector<std::string> problems = CheckClassTypeLua("\x1bLua\x54");
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_NE(problems[0].find("attempt to load a binary chunk"), std::string::npos) << problems[0];
}

TEST(LuaCheck, NamesATableUsedBeforeItsDefinition) {
  const char* script =
      " vt_Word = 8 \r\n"
      " TOwner = { \r\n"
      "\tItem = { 0 , TItem } , \r\n"
      "}\r\n"
      " TItem = { \r\n"
      "\tX = { 0 , vt_Word } , \r\n"
      "}\r\n"
      " TItem.__index = BindGet \r\n"
      " TItem.__newindex = BindSet \r\n"
      " TOwner.__index = BindGet \r\n"
      " TOwner.__newindex = BindSet \r\n";
  EXPECT_EQ(CheckClassTypeLua(script), (Problems{"TOwner.Item holds 1 value(s), not an offset and a type"}));
}

TEST(LuaCheck, AcceptsATableFilledInAfterItsDefinition) {
  const char* script =
      " vt_Word = 8 \r\n"
      " TNode = { \r\n"
      "\tNext = { 0 , - 1 , TNode } , \r\n"
      "}\r\n"
      " TNode.__index = BindGet \r\n"
      " TNode.__newindex = BindSet \r\n"
      " TNode.Next [ 3 ] = TNode \r\n";
  EXPECT_EQ(CheckClassTypeLua(script), Problems{});
}

TEST(LuaCheck, NamesAGlobalThatIsNeverDefined) {
  const char* script =
      " TOwner = { \r\n"
      "\tItem = { 0 , - 1 , Missing } , \r\n"
      "}\r\n"
      " TOwner.__index = BindGet \r\n"
      " TOwner.__newindex = BindSet \r\n";
  // The entry itself reads { 0 , - 1 } to Lua, so only the read gives it away.
  EXPECT_EQ(CheckClassTypeLua(script), (Problems{"reads the undefined global Missing"}));
}

TEST(LuaCheck, NamesAMissingBinding) {
  const char* script =
      " vt_Word = 8 \r\n"
      " TItem = { \r\n"
      "\tX = { 0 , vt_Word } , \r\n"
      "}\r\n"
      " TItem.__index = BindGet \r\n";
  EXPECT_EQ(CheckClassTypeLua(script), Problems{"TItem.__newindex is not BindSet"});
}

TEST(LuaCheck, NamesMalformedEntries) {
  const char* script =
      " TItem = { \r\n"
      "\tX = { \"0\" , 1 } , \r\n"
      "\tY = { 4 , \"text\" } , \r\n"
      "\tZ = 8 , \r\n"
      "}\r\n"
      " TItem.__index = BindGet \r\n"
      " TItem.__newindex = BindSet \r\n";
  EXPECT_EQ(CheckClassTypeLua(script),
            (Problems{"TItem.X has no numeric offset", "TItem.Y ends in a string, not a type code or a structure table",
                      "TItem.Z is a number, not a table"}));
}

TEST(LuaCheck, ReportsAScriptThatDoesNotRun) {
  std::vector<std::string> problems = CheckClassTypeLua(" TItem = { \r\n\tX = { 0 , 1 } ; ; \r\n");
  ASSERT_EQ(problems.size(), 1u);
  EXPECT_EQ(problems[0].rfind("does not run: ClassType.lua:", 0), 0u) << problems[0];
}

}  // namespace
}  // namespace ct::testing
