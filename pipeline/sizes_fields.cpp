#include "pipeline/sizes_fields.h"

namespace ct {

std::vector<FieldSpan> FieldSpans(std::string_view line) {
  std::vector<FieldSpan> spans;
  FieldSpan current{1, 0};
  Pos depth = 0;
  for (Pos p = 1; p <= Len(line); ++p) {
    char c = At(line, p);
    if (c == '(' || c == '[') ++depth;
    // A stray closing bracket must not hide the semicolons after it.
    if ((c == ')' || c == ']') && depth > 0) --depth;
    if (c != ';' || depth != 0) continue;
    current.last = p;
    spans.push_back(current);
    current = FieldSpan{p + 1, 0};
  }
  if (current.first <= Len(line)) spans.push_back(FieldSpan{current.first, Len(line)});
  return spans;
}

}  // namespace ct
