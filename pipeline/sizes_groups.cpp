// Field groups split into single fields: "a,b:Integer;" declares two fields
// of one type, and every later stage expects one name per field.
#include <algorithm>
#include <string>

#include "pipeline/normalise.h"
#include "pipeline/sizes.h"
#include "text/scan.h"

namespace ct {

bool SplitGroupsInCompactLine(std::string& compact_line) {
  std::string& line = compact_line;
  if (FindChar(line, ',', 1) == 0) return false;
  bool changed = false;
  Pos colon = FindCharInRange(line, ':', Len(line), 1);
  while (colon != 0) {
    Pos previous_end = colon > 1 ? FindCharInRange(line, ';', colon - 1, 1) : 0;
    Pos names_start = std::max<Pos>(previous_end, 1);
    Pos type_end = FindChar(line, ';', colon);
    std::string type = ":" + (type_end == 0 ? std::string() : Slice(line, colon + 1, type_end));
    // Walking right to left keeps the positions still to be visited in place.
    for (Pos comma = colon - 1; comma > names_start; --comma) {
      if (At(line, comma) != ',') continue;
      Replace(line, comma, 1, type);
      changed = true;
    }
    // The next colon lies before this field's names, so `colon` falls.
    Pos before = std::min(names_start, colon - 1);
    colon = before >= 1 ? FindCharInRange(line, ':', before, 1) : 0;
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
