// Once every offset is final the three size fields have served the layout;
// the layout snapshot and ClassTable_E.lua keep them.
#include <string>
#include <string_view>

#include "pipeline/layout/layout.h"
#include "text/scan.h"

namespace ct {

namespace {

// Deletes the first field `key` outside string literals, from its leading
// space through its ";". Returns false when the line holds no such field.
bool DeleteField(std::string& line, std::string_view key) {
  const std::string mask = MaskQuotedStrings(line);
  Pos p = FindExact(mask, key, 1);
  if (p == 0) return false;
  Pos q = FindChar(mask, ';', p + 1);
  if (q != 0) Erase(line, p, q - p + 1);
  return true;
}

}  // namespace

void RemoveSizeFields(LineList& working) {
  for (size_t i = 0; i < working.Count(); ++i) {
    std::string line = working.Get(i);
    if (!DeleteField(line, " nWholeSize ")) continue;
    DeleteField(line, " nAddSize ");
    DeleteField(line, " nMaxSize ");
    working.Put(i, std::move(line));
  }
}

}  // namespace ct
