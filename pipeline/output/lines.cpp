// Which lines the script keeps, and the lines that bind its tables to the
// host's accessor functions.
#include <string>
#include <vector>

#include "pipeline/output/entries.h"
#include "pipeline/output/output.h"
#include "pipeline/output/scans.h"
#include "text/scan.h"

namespace ct {

namespace {

// " vt_Integer = 1 ; ": a name Lua takes, "=", and one value Lua reads (a
// number, a "$" number the value step converts, a string or another name).
bool IsConstantLuaReads(std::string_view line, std::string_view mask) {
  Pos equals = FindChar(mask, '=', 1);
  if (equals == 0 || !IsLuaIdentifier(Trim(Copy(line, 1, equals - 1)))) return false;
  std::string value = Trim(Tail(mask, equals + 1));
  if (!value.empty() && value.back() == ';') value = TrimRight(value.substr(0, value.size() - 1));
  if (value.size() > 2 && value[0] == '-' && value[1] == ' ') value = value.substr(2);
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"')
    return value.find_first_not_of(kMaskByte, 1) == value.size() - 1;
  return IsIntegerText(value) || IsHexConstant(value) || IsLuaIdentifier(value);
}

// The script keeps the type codes and every structure with members; the
// inheritance lines have served the merge. What a string literal holds
// decides nothing: a constant whose text has a brace is still a constant.
// A declaration that merely mentions a code (" PVT_Info = ^TVT_Info ; ", an
// enumeration of vt_ names) is no Lua: it goes like every other restored
// declaration.
bool BelongsInScript(std::string_view line) {
  const std::string mask = MaskQuotedStrings(line);
  if (ContainsText(mask, " setmetatable ")) return false;
  if (ContainsText(mask, "vt_") && (Contains(mask, "{") || IsConstantLuaReads(line, mask))) return true;
  if (ContainsText(mask, "{ }")) return false;
  return Contains(mask, "{");
}

}  // namespace

void TidyLines(LineList& working) {
  // One pass that keeps lines: deleting them one by one shifts the rest of
  // the list each time, which large inputs feel.
  LineList kept;
  for (size_t i = 0; i < working.Count(); ++i)
    if (BelongsInScript(working.Get(i))) kept.Add(working.Get(i), working.Origin(i));
  working = std::move(kept);
}

void AddBindingLines(LineList& working) {
  const size_t count = working.Count();
  for (size_t i = 0; i < count; ++i) {
    const std::string& line = working.Get(i);
    Pos p = FindTableOpening(line);
    if (p == 0) continue;
    if (Trim(Slice(line, p + 4, Len(line) - 5)).empty()) continue;
    std::string name = TrimRight(Copy(line, 1, p - 1));
    working.Add(name + ".__index = BindGet ", working.Origin(i));
    working.Add(name + ".__newindex = BindSet ", working.Origin(i));
  }
}

}  // namespace ct
