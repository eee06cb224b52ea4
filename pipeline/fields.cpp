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

bool SplitGroupsInCompactLine(std::string& compact_line) {
  std::string& line = compact_line;
  if (FindChar(line, ',', 1) == 0) return false;
  bool changed = false;
  std::vector<FieldSpan> fields = FieldSpans(line);
  // Right to left: a replacement shifts only the text after it, and the
  // positions still to be visited lie before it.
  for (auto field = fields.rbegin(); field != fields.rend(); ++field) {
    if (field->colon == 0) continue;
    bool terminated = At(line, field->last) == ';';
    std::string type = ":" + (terminated ? Slice(line, field->colon + 1, field->last) : std::string());
    for (auto comma = field->name_commas.rbegin(); comma != field->name_commas.rend(); ++comma) {
      // A comma that opens the line separates no names.
      if (*comma == 1) continue;
      Replace(line, *comma, 1, type);
      changed = true;
    }
  }
  return changed;
}

}  // namespace ct
