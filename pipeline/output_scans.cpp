#include "pipeline/output_scans.h"

#include <algorithm>
#include <string>

namespace ct {

namespace {

bool DefinesStructureNamed(std::string_view line, std::string_view name) {
  if (!ContainsText(line, name)) return false;  // spares most lines the masking
  const std::string mask = MaskQuotedStrings(line);
  if (!Contains(mask, ":") || ContainsText(mask, "{ }")) return false;
  return SameText(Trim(GetTokenOutsideQuotes(line, '=').token), name);
}

bool IsTableHeaded(std::string_view line, std::string_view head) {
  Pos p = FindTableOpening(line);
  return p != 0 && SameText(Copy(line, 1, p - 1), head);
}

}  // namespace

Pos FindTableOpening(std::string_view line) { return FindExact(MaskQuotedStrings(line), "= {"); }

size_t FindLastStructureNamed(const LineList& list, std::string_view name, size_t lowest, size_t end) {
  for (size_t k = std::min(end, list.Count()); k > lowest; --k)
    if (DefinesStructureNamed(list.Get(k - 1), name)) return k - 1;
  return kNoLine;
}

size_t FindFirstTableHeaded(const LineList& list, std::string_view head, size_t from) {
  for (size_t k = from; k < list.Count(); ++k)
    if (IsTableHeaded(list.Get(k), head)) return k;
  return kNoLine;
}

size_t FindLastTableHeaded(const LineList& list, std::string_view head) {
  for (size_t k = list.Count(); k > 0; --k)
    if (IsTableHeaded(list.Get(k - 1), head)) return k - 1;
  return kNoLine;
}

}  // namespace ct
