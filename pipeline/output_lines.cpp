// Which lines the script keeps, and the lines that bind its tables to the
// host's accessor functions.
#include <string>

#include "pipeline/output.h"
#include "pipeline/output_scans.h"
#include "text/scan.h"

namespace ct {

namespace {

// The script keeps the type codes and every structure with members; the
// inheritance lines have served the merge. What a string literal holds
// decides nothing: a constant whose text has a brace is still a constant.
bool BelongsInScript(std::string_view line) {
  const std::string mask = MaskQuotedStrings(line);
  if (ContainsText(mask, " setmetatable ")) return false;
  if (ContainsText(mask, "vt_")) return true;
  if (ContainsText(mask, "{ }")) return false;
  return Contains(mask, "{");
}

}  // namespace

void TidyLines(LineList& working) {
  for (size_t i = working.Count(); i > 0; --i)
    if (!BelongsInScript(working.Get(i - 1))) working.Delete(i - 1);
}

void AddBindingLines(LineList& working) {
  const size_t count = working.Count();
  for (size_t i = 0; i < count; ++i) {
    const std::string& line = working.Get(i);
    Pos p = FindTableOpening(line);
    if (p == 0) continue;
    if (Trim(Slice(line, p + 4, Len(line) - 5)).empty()) continue;
    std::string name = TrimRight(Copy(line, 1, p - 1));
    working.Add(name + ".__index = BindGet ");
    working.Add(name + ".__newindex = BindSet ");
  }
}

}  // namespace ct
