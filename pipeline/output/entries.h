// The member entries of a structure line in accessor format, as the output
// stages read them: " T = { a : { 0 , vt_Byte } ; p : { 4 , - 1 , T } ; } ; ".
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "text/scan.h"

namespace ct {

struct MemberEntry {
  std::string name;                // "p"
  std::vector<std::string> items;  // "4", "- 1", "T"
  // Where the entry stands in the line: from the byte after the ";" (or
  // "{") before it through its own ";" (the line's end when it has none).
  Pos first = 0;
  Pos last = 0;
};

// Braces, commas and semicolons inside string literals are text.
std::vector<MemberEntry> MemberEntries(std::string_view table_line);

// How the script names a member: as it stands where Lua takes it as a plain
// name (ASCII letters, digits and "_", not a keyword), otherwise as a
// bracketed string, the only way Lua accepts a field that Delphi allows but
// Lua does not: one called "local" or "return", or one spelt in Chinese.
bool IsLuaIdentifier(std::string_view name);  // keywords included
bool IsPlainLuaName(std::string_view name);
std::string LuaMemberKey(std::string_view name);  // "name" or "[ \"name\" ]"

}  // namespace ct
