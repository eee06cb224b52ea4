#include "pipeline/fields.h"

#include <string>
#include <utility>

namespace ct {

namespace {

FieldSpan FieldFrom(Pos first) {
  FieldSpan field;
  field.first = first;
  return field;
}

}  // namespace

std::vector<FieldSpan> FieldSpans(std::string_view line) {
  std::vector<FieldSpan> spans;
  FieldSpan current = FieldFrom(1);
  Pos depth = 0;
  // Brackets and separators inside string constants are text.
  const std::string structure = MaskQuotedStrings(line);
  for (Pos p = 1; p <= Len(structure); ++p) {
    char c = At(structure, p);
    if (c == '(' || c == '[') ++depth;
    // A stray closing bracket must not hide the semicolons after it.
    if ((c == ')' || c == ']') && depth > 0) --depth;
    if (depth != 0) continue;
    if (c == ';') {
      current.last = p;
      spans.push_back(std::move(current));
      current = FieldFrom(p + 1);
    } else if (current.colon == 0 && c == ',') {
      current.name_commas.push_back(p);
    } else if (current.colon == 0 && c == ':') {
      current.colon = p;
    }
  }
  if (current.first <= Len(line)) {
    current.last = Len(line);
    spans.push_back(std::move(current));
  }
  return spans;
}

}  // namespace ct
