// Field groups split into single fields: "a,b:Integer;" declares two fields
// of one type, and every later stage expects one name per field.
#include <string>

#include "pipeline/normalise/normalise.h"
#include "pipeline/sizes/sizes.h"
#include "pipeline/fields.h"
#include "text/scan.h"

namespace ct {

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

void SplitFieldGroups(LineList& working) {
  for (size_t i = 0; i < working.Count(); ++i) {
    std::string line = CompactLine(working.Get(i));
    SplitGroupsInCompactLine(line);
    working.Put(i, std::move(line));
  }
  LoosenText(working);
}

}  // namespace ct
