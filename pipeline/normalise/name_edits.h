// The pieces of the name stages that their plain versions (tests/plain)
// share, so that both make exactly the same edits.
#pragma once

#include <string>

namespace ct {

// The " array " keyword in lower case, as every case pass leaves it.
void LowerArrayKeyword(std::string& s);

// The name a line declares as a class, with the spaces around it, or empty
// when the line declares none.
std::string DeclaredClassName(const std::string& line);

// Uses of the class `name` (as DeclaredClassName gives it) after ":", "="
// and "of" become pointers to it.
void MarkUsesAsPointers(std::string& s, const std::string& name);

}  // namespace ct
