#include "pipeline/layout_report/structure_lines.h"

#include <map>

#include "pipeline/inheritance.h"
#include "text/scan.h"

namespace ct {

const std::string* StructureLine::Value(std::string_view member) const {
  for (const auto& [name, value] : members)
    if (name == member) return &value;
  return nullptr;
}

std::optional<StructureLine> ReadStructureLine(std::string_view line) {
  const std::string mask = MaskQuotedStrings(line);
  Pos equals = FindChar(mask, '=', 1);
  Pos open = FindChar(mask, '{', 1);
  if (equals == 0 || open == 0 || open < equals) return std::nullopt;
  Pos close = FindChar(mask, '}', open + 1);
  if (close == 0) return std::nullopt;
  StructureLine structure;
  structure.name = Trim(Copy(line, 1, equals - 1));
  if (structure.name.empty()) return std::nullopt;
  // Every round moves past one " ;".
  for (Pos from = open + 1; from < close;) {
    Pos semicolon = FindChar(mask, ';', from);
    if (semicolon == 0 || semicolon > close) break;
    Pos colon = FindCharInRange(mask, ':', from, semicolon);
    if (colon != 0)
      structure.members.emplace_back(Trim(Slice(line, from, colon - 1)), Trim(Slice(line, colon + 1, semicolon - 1)));
    from = semicolon + 1;
  }
  return structure;
}

std::vector<StructureLine> StructuresOf(const LineList& list) {
  std::vector<StructureLine> found;
  std::map<std::string, size_t> by_name;
  for (size_t i = 0; i < list.Count(); ++i) {
    std::optional<StructureLine> structure = ReadStructureLine(list.Get(i));
    if (!structure) continue;
    structure->index = i;
    auto known = by_name.find(structure->name);
    if (known == by_name.end()) {
      by_name.emplace(structure->name, found.size());
      found.push_back(std::move(*structure));
    } else if (!structure->members.empty()) {
      found[known->second] = std::move(*structure);
    }
  }
  return found;
}

std::vector<std::pair<std::string, std::string>> ParentsOf(const LineList& list) {
  std::vector<std::pair<std::string, std::string>> parents;
  for (const std::string& line : list.Lines())
    if (std::optional<Inheritance> inheritance = ReadInheritanceLine(line))
      parents.emplace_back(Trim(inheritance->child), Trim(inheritance->parent));
  return parents;
}

}  // namespace ct
