// The words of the language that the reading stages judge a declaration by.
// Every test ignores ASCII case, as the language does.
#pragma once

#include <string_view>

namespace ct {

// Reserved words: never a name, so they can be given one spelling. "string"
// is left out: the prelude declares String as a type, whose spelling the
// names stage gives it.
bool IsReservedWord(std::string_view word);
// Words that follow a routine heading or a declaration after its ";" and
// belong to it: " procedure Go ; virtual ; abstract ; ", " TCb = procedure ;
// cdecl ; ".
bool IsDirectiveWord(std::string_view word);
// A directive word as it stands before `next`, the token after it: a field,
// constant or variable of the same name is followed by ":", "," or "=",
// except that FPC writes the argument of a few directives after a colon
// (" compilerproc : fpc_in_copy_x ; ").
bool IsDirectiveBefore(std::string_view word, std::string_view next);
// The calling conventions among them: part of a procedural type, nothing of
// its size.
bool IsCallingConvention(std::string_view word);
// The words that open a visibility section of a class or record ("strict"
// stands in front of two of them).
bool IsVisibilityWord(std::string_view word);

}  // namespace ct
