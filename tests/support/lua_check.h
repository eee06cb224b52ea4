// Loads a ClassType.lua the way a host program would and reports every way in
// which it falls short of a usable set of binding tables.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ct::testing {

// Runs `script` (the file's bytes; GBK is fine for Lua), as text only, in a
// fresh Lua 5.4 state without libraries, in an environment that holds only
// the prelude's type codes and the functions BindGet and BindSet. Every
// global the script touches besides those and the tables it defines is a
// problem: a global read that the script never defines (it is how a table
// used before its definition shows up), a global given anything but a
// table, a number or a string (constants), BindGet or BindSet replaced, and
// every function call (a
// script of data calls nothing). Then every structure table (every global
// table) must have __index == BindGet and __newindex == BindSet, and each of
// its members must be a table of at least an offset and a type whose first
// value is a number and whose last value is a number or a structure table.
// Returns readable problems, sorted; empty when the script is sound.
std::vector<std::string> CheckClassTypeLua(std::string_view script);

// Only what loading the script reveals, whatever its tables hold: that it
// does not run, and every global it touches besides its tables, the type
// codes and BindGet and BindSet. Empty for a script of data that loads.
std::vector<std::string> HostLoadProblems(std::string_view script);

}  // namespace ct::testing
