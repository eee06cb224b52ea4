#include "pipeline/inheritance.h"

#include "text/scan.h"

namespace ct {

std::optional<Inheritance> ReadInheritanceLine(std::string_view line) {
  if (!ContainsText(line, " setmetatable ")) return std::nullopt;  // spares most lines the masking
  const std::string mask = MaskQuotedStrings(line);
  if (!ContainsText(mask, " setmetatable ")) return std::nullopt;
  Pos open = FindChar(mask, '(', 1);
  Pos close = FindChar(mask, ')', open + 1);
  if (open == 0 || close == 0) return std::nullopt;
  Token names = GetTokenOutsideQuotes(Slice(line, open + 1, close - 1), ',');
  return Inheritance{std::move(names.token), std::move(names.rest)};
}

}  // namespace ct
