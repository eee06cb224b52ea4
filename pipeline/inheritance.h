// The inheritance lines that the table rewrite appends for every class with
// a parent: " setmetatable ( TChild , TParent ) ; ".
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace ct {

// The class and its parent as they stand between the brackets, around the
// comma, spaces included; nothing for any other line. A string literal that
// mentions setmetatable makes no inheritance line.
struct Inheritance {
  std::string child;
  std::string parent;
};
std::optional<Inheritance> ReadInheritanceLine(std::string_view line);

}  // namespace ct
