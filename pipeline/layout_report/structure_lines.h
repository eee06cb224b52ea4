// The one-line structures of the sized and laid-out files
// (docs/line-formats.md): " TUserItem = { nWholeSize : 24 ; ... MakeIndex : 0 ; ... } ; ".
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "text/line_list.h"

namespace ct {

struct StructureLine {
  std::string name;
  std::vector<std::pair<std::string, std::string>> members;  // name, value; size fields included
  size_t index = 0;  // the line in its list

  // The value of a member or size field, or nullptr.
  const std::string* Value(std::string_view member) const;
};

// A line holding " = ", "{", members ending in " ;", and "}"; nullopt for
// any other line. Braces, colons and semicolons inside strings are text.
std::optional<StructureLine> ReadStructureLine(std::string_view line);

// Every structure of a list by name; of several lines with one name (a
// forward declaration and the full one), the last that has members.
std::vector<StructureLine> StructuresOf(const LineList& list);

// The inheritance lines " setmetatable ( child , parent ) ; ": child, parent.
std::vector<std::pair<std::string, std::string>> ParentsOf(const LineList& list);

}  // namespace ct
