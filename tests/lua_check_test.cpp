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
  std::string script = std::string(kSound) + " Caption = \"\xC0\xE0\xD0\xCD\" \r\n";
  EXPECT_EQ(CheckClassTypeLua(script), Problems{});
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
