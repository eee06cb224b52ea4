// Which lines the script keeps, and the lines that bind its tables to the
// host's accessor functions.
#include <string>
#include <vector>

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
  // One pass that keeps lines: deleting them one by one shifts the rest of
  // the list each time, which large inputs feel.
  std::vector<std::string> kept;
  for (const std::string& line : working.Lines())
    if (BelongsInScript(line)) kept.push_back(line);
  working = LineList(std::move(kept));
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
