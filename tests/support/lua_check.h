// Loads a ClassType.lua the way a host program would and reports every way in
// which it falls short of a usable set of binding tables.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ct::testing {

// Runs `script` (the file's bytes; GBK is fine for Lua) in a fresh Lua 5.4
// state in which BindGet and BindSet are functions, then checks that every
// structure table (every global table) has __index == BindGet and
// __newindex == BindSet, and that each of its members is a table of at least
// an offset and a type whose first value is a number and whose last value is
// a number or a structure table. Reading a global that was never assigned is
// reported too: it is how a table used before its definition shows up.
// Returns readable problems, sorted; empty when the script is sound.
std::vector<std::string> CheckClassTypeLua(std::string_view script);

}  // namespace ct::testing
