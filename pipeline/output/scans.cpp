#include "pipeline/output/scans.h"

#include <string>

#include "pipeline/candidate_lines.h"

namespace ct {

bool DefinesStructureNamed(std::string_view line, std::string_view name) {
  if (!ContainsText(line, name)) return false;  // spares most lines the masking
  const std::string mask = MaskQuotedStrings(line);
  if (!Contains(mask, ":") || ContainsText(mask, "{ }")) return false;
  return SameText(Trim(GetTokenOutsideQuotes(line, '=').token), name);
}

bool StructureNameKey(std::string_view line, std::string& key) {
  const std::string mask = MaskQuotedStrings(line);
  if (!Contains(mask, ":") || ContainsText(mask, "{ }")) return false;
  key = LowerAscii(Trim(GetTokenOutsideQuotes(line, '=').token));
  return true;
}

namespace {

bool IsTableHeaded(std::string_view line, std::string_view head) {
  Pos p = FindTableOpening(line);
  return p != 0 && SameText(Copy(line, 1, p - 1), head);
}

// The key under which an indexed list files table lines: the head that
// IsTableHeaded compares.
bool TableHeadKey(std::string_view line, std::string& key) {
  Pos p = FindTableOpening(line);
  if (p == 0) return false;
  key = LowerAscii(Copy(line, 1, p - 1));
  return true;
}

}  // namespace

Pos FindTableOpening(std::string_view line) { return FindExact(MaskQuotedStrings(line), "= {"); }

size_t FindLastStructureNamed(const LineList& list, std::string_view name, size_t lowest, size_t end) {
  return CandidateLines(list, StructureNameKey, name).Last(lowest, end, [&](const std::string& line) {
    return DefinesStructureNamed(line, name);
  });
}

size_t FindFirstTableHeaded(const LineList& list, std::string_view head, size_t from) {
  return CandidateLines(list, TableHeadKey, head).First(from, kNoLine, [&](const std::string& line) {
    return IsTableHeaded(line, head);
  });
}

size_t FindLastTableHeaded(const LineList& list, std::string_view head) {
  return CandidateLines(list, TableHeadKey, head).Last(0, kNoLine, [&](const std::string& line) {
    return IsTableHeaded(line, head);
  });
}

}  // namespace ct
