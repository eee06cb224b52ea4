// Every use of a name with a known numeric value (a constant, or a type whose
// size is known) replaced by that value, so that layout sees numbers only.
#include <string>

#include "pipeline/sizes.h"
#include "pipeline/sizes_fields.h"
#include "pipeline/sizes_numbers.h"
#include "text/scan.h"

namespace ct {

namespace {

// A line cut at its first "=" at any length: the table line of a large class
// may exceed the token limit, and cutting it there would rebuild the line as
// a lone "=".
Token SplitAtFirstEquals(std::string_view line) { return GetTokenOutsideQuotes(line, '='); }

// Where a reference may be replaced: outside strings, and in a table line
// not in the members' names, so that a field called like a constant keeps
// its name instead of becoming a number the script cannot load.
std::string ReplaceableText(std::string_view rest) {
  std::string mask = MaskQuotedStrings(rest);
  if (mask.find('{') == std::string::npos) return mask;
  for (const FieldSpan& field : FieldSpans(rest))
    for (Pos p = field.first; field.colon != 0 && p < field.colon; ++p) mask[static_cast<size_t>(p - 1)] = kMaskByte;
  return mask;
}

// The value a definition line gives its name: a number as written, or the
// number of the name it refers to. Empty when it is neither. A value in the
// sized form keeps its size prefix, which the layout aligns by: a ShortString
// member is aligned to single bytes like a String [ n ] member.
std::string NumericValueOf(const LineList& working, std::string value) {
  int prefix = -1;
  if (!ResolveNumber(working, value, prefix)) return {};
  if (prefix < 0) return value;
  return std::to_string(prefix) + "_" + value;
}

// A call-like use such as a type cast "Name ( x )" stands for the value as a
// whole. The search for the next use resumes at the position that followed
// the closing bracket before the use was replaced.
void ReplaceCallLikeUses(std::string& rest, const std::string& name, const std::string& spaced_value) {
  const std::string call = name + "( ";
  Pos use = FindExact(rest, call, 1);
  // Each turn removes the "(" of one use and inserts none, so the uses run out.
  while (use != 0) {
    Pos closing = FindText(rest, " ) ", use + 1);
    if (closing == 0) return;
    Replace(rest, use, closing + 2 - use + 1, spaced_value);
    use = FindText(rest, call, closing + 3);
  }
}

void ReplaceReferencesIn(std::string& line, const std::string& name, const std::string& value) {
  Token parts = SplitAtFirstEquals(line);
  if (IsIntegerText(Trim(parts.rest))) return;
  const std::string spaced_value = " " + value + " ";
  ReplaceCallLikeUses(parts.rest, name, spaced_value);
  line = parts.token + "=" + ReplaceAllTextMasked(parts.rest, ReplaceableText(parts.rest), name, spaced_value);
}

}  // namespace

void ReplaceFieldReferences(LineList& working) {
  for (size_t i = 0; i < working.Count(); ++i) {
    if (!Contains(working.Get(i), "=")) continue;
    Token definition = SplitAtFirstEquals(working.Get(i));
    // A line that declares no name (" = 5 ;") would put its value in place
    // of every space of every declaration.
    if (Trim(definition.token).empty()) continue;
    std::string value =
        NumericValueOf(working, ReplaceAll(GetValidToken(definition.rest, ";").token, " ", ""));
    if (value.empty()) continue;
    for (size_t j = 0; j < working.Count(); ++j) {
      if (j == i || !Contains(working.Get(j), "=")) continue;
      std::string line = working.Get(j);
      ReplaceReferencesIn(line, definition.token, value);
      working.Put(j, std::move(line));
    }
  }
}

}  // namespace ct
