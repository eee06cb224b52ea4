// The pieces of the name stages that their plain versions (tests/plain)
// share, so that both make exactly the same edits.
#pragma once

#include <string>
#include <string_view>

namespace ct {

// A unit-qualified name ("System.THandle", "^Windows.PRect") is the name
// after its last dot. On a line with its strings emptied.
void DropUnitQualifiers(std::string& s);

// Reserved words in lower case, as every case pass leaves them.
void LowerReservedWords(std::string& s);

// A copy of a line (strings emptied) with the names of its fields and
// variables masked: the words before a colon outside brackets, with the
// words listed before them. A field's name is a key of its table and keeps
// its own spelling.
std::string MaskFieldNames(std::string_view emptied);

// The word whose spelling every other use takes: the first word of the
// line, unless it is a field's name (masked in `masked`) or a reserved word.
// Empty when the line gives no spelling.
std::string SpellingSource(std::string_view emptied, std::string_view masked);

// The name a line declares as a class, with the spaces around it, or empty
// when the line declares none.
std::string DeclaredClassName(const std::string& line);

// Uses of the class `name` (as DeclaredClassName gives it) after ":", "="
// and "of" become pointers to it.
void MarkUsesAsPointers(std::string& s, const std::string& name);

}  // namespace ct
