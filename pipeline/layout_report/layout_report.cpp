#include "pipeline/layout_report/layout_report.h"

#include <algorithm>
#include <map>
#include <set>

#include "pipeline/layout_report/member_sizes.h"
#include "pipeline/layout_report/script_tables.h"
#include "pipeline/layout_report/structure_lines.h"
#include "text/files.h"
#include "text/scan.h"

namespace ct {

namespace {

std::optional<std::int64_t> Number(const std::string* text) {
  if (text == nullptr) return std::nullopt;
  return ParseInt64(*text);
}

// "- 1 , TBaseObject" as a person reads a descriptor: "-1, TBaseObject".
std::string DescriptorText(const std::vector<std::string>& items) {
  std::string text;
  for (size_t k = 1; k < items.size(); ++k) {
    if (k > 1) text += ", ";
    text += ReplaceAll(items[k], "- ", "-");
  }
  return text;
}

// What the laid-out file says about the structures.
struct LaidOut {
  std::map<std::string, StructureLine> structures;
  std::map<std::string, std::string> parents;

  explicit LaidOut(const LineList& laid_out) {
    for (StructureLine& structure : StructuresOf(laid_out)) {
      std::string name = structure.name;
      structures.emplace(std::move(name), std::move(structure));
    }
    for (auto& [child, parent] : ParentsOf(laid_out)) parents.emplace(std::move(child), std::move(parent));
  }

  const StructureLine* Structure(const std::string& name) const {
    auto found = structures.find(name);
    return found == structures.end() ? nullptr : &found->second;
  }

  // The structure itself or the nearest ancestor whose own members include
  // `member`; empty when none does. A cycle of parents ends the walk.
  std::string DeclaringStructure(const std::string& name, const std::string& member) const {
    std::set<std::string> seen;
    for (std::string at = name; !at.empty() && seen.insert(at).second;) {
      const StructureLine* structure = Structure(at);
      if (structure != nullptr && structure->Value(member) != nullptr) return at;
      auto parent = parents.find(at);
      at = parent == parents.end() ? std::string() : parent->second;
    }
    return {};
  }
};

// Sorts the members by offset and puts the holes between them, and the
// padding after them, as rows of their own. A member of unknown size hides
// where it ends, so no hole is claimed right after it.
void AddHoles(StructureLayout& layout) {
  std::stable_sort(layout.rows.begin(), layout.rows.end(),
                   [](const LayoutRow& a, const LayoutRow& b) { return a.offset < b.offset; });
  std::vector<LayoutRow> rows;
  std::optional<std::int64_t> end = 0;
  for (LayoutRow& row : layout.rows) {
    if (end && row.offset > *end) rows.push_back({LayoutRow::Kind::kHole, *end, row.offset - *end, {}, {}, {}});
    if (row.size)
      end = std::max(end.value_or(0), row.offset + *row.size);
    else
      end.reset();
    rows.push_back(std::move(row));
  }
  if (end && layout.size && *layout.size > *end)
    rows.push_back({LayoutRow::Kind::kPadding, *end, *layout.size - *end, {}, {}, {}});
  layout.rows = std::move(rows);
}

}  // namespace

std::int64_t StructureLayout::HoleBytes() const {
  std::int64_t bytes = 0;
  for (const LayoutRow& row : rows)
    if (row.kind != LayoutRow::Kind::kMember) bytes += row.size.value_or(0);
  return bytes;
}

const StructureLayout* LayoutReport::Find(std::string_view name) const {
  for (const StructureLayout& structure : structures)
    if (SameText(structure.name, name)) return &structure;
  return nullptr;
}

LayoutReport BuildLayoutReport(const LineList& sized, const LineList& laid_out, const LineList& script) {
  const LaidOut files(laid_out);
  const MemberSizes member_sizes = OwnMemberSizes(sized, laid_out);
  LayoutReport report;
  for (const ScriptTable& table : ScriptTablesOf(script)) {
    StructureLayout layout;
    layout.name = table.name;
    if (auto parent = files.parents.find(table.name); parent != files.parents.end()) layout.parent = parent->second;
    // A derived class's whole size is its instance's, its parent's part
    // included.
    if (const StructureLine* own = files.Structure(table.name)) {
      layout.size = Number(own->Value("nWholeSize"));
      layout.alignment = Number(own->Value("nMaxSize"));
    }
    for (const ScriptEntry& entry : table.entries) {
      std::optional<std::int64_t> offset = entry.items.empty() ? std::nullopt : ParseInt64(entry.items[0]);
      if (!offset) continue;
      LayoutRow row;
      row.offset = *offset;
      row.name = entry.name;
      row.type = DescriptorText(entry.items);
      row.declared_in = files.DeclaringStructure(table.name, entry.name);
      if (auto declared = member_sizes.find(row.declared_in); declared != member_sizes.end())
        if (auto size = declared->second.find(entry.name); size != declared->second.end()) row.size = size->second;
      layout.rows.push_back(std::move(row));
    }
    AddHoles(layout);
    report.structures.push_back(std::move(layout));
  }
  return report;
}

bool ReadLayoutReport(const std::filesystem::path& folder, LayoutReport& report, std::string& error) {
  LineList sized, laid_out, script;
  for (auto [list, name] : {std::pair{&sized, "ClassTable_D.lua"}, std::pair{&laid_out, "ClassTable_E.lua"},
                            std::pair{&script, "ClassType.lua"}}) {
    if (!LoadLines(*list, folder / name, error)) {
      error = std::string(name) + ": " + error;
      return false;
    }
  }
  report = BuildLayoutReport(sized, laid_out, script);
  return true;
}

}  // namespace ct
