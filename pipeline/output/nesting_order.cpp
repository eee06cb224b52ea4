// A structure's table names the tables of the structures it embeds, so those
// must be defined first in the script.
#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "pipeline/output/entries.h"
#include "pipeline/output/nesting_order.h"
#include "pipeline/output/output.h"
#include "pipeline/output/scans.h"
#include "text/scan.h"

namespace ct {

namespace {

// The structures whose tables the entries of a structure line hold by value:
// the last item of every entry in which no item before it is an indirection
// (a negative number). A pointer's target is left alone, as the passes do.
std::vector<std::string> EmbeddedTableNames(std::string_view line) {
  std::vector<std::string> names;
  auto is_indirection = [](const std::string& item) { return !item.empty() && item[0] == '-'; };
  for (const MemberEntry& entry : MemberEntries(line)) {
    const auto& items = entry.items;
    if (items.size() >= 2 && std::none_of(items.begin() + 1, items.end() - 1, is_indirection))
      names.push_back(items.back());
  }
  return names;
}

}  // namespace

// A depth-first walk over "embeds" in list order. A table that an earlier
// line of its name already defines needs no move. Embedding in a circle
// cannot be ordered; the walk then keeps the lines it meets twice where they
// fall.
void PlaceEmbeddedTablesFirst(LineList& working) {
  const size_t count = working.Count();
  std::vector<std::vector<size_t>> embeds(count);
  for (size_t i = 0; i < count; ++i) {
    for (const std::string& name : EmbeddedTableNames(working.Get(i))) {
      size_t k = FindLastStructureNamed(working, name, 0, i);
      if (k == kNoLine) k = FindLastStructureNamed(working, name, i + 1);
      if (k != kNoLine) embeds[i].push_back(k);
    }
  }
  std::vector<size_t> order;
  order.reserve(count);
  std::vector<bool> seen(count, false);
  std::vector<std::pair<size_t, size_t>> path;  // a line and its next embedded table
  for (size_t root = 0; root < count; ++root) {
    if (seen[root]) continue;
    seen[root] = true;
    path.push_back({root, 0});
    // Every round follows one edge or finishes one line; each line enters
    // the path once.
    while (!path.empty()) {
      auto [line, next] = path.back();
      if (next < embeds[line].size()) {
        ++path.back().second;
        size_t k = embeds[line][next];
        if (!seen[k]) {
          seen[k] = true;
          path.push_back({k, 0});
        }
      } else {
        order.push_back(line);
        path.pop_back();
      }
    }
  }
  LineList sorted;
  for (size_t i : order) sorted.Add(working.Get(i), working.Origin(i));
  working = std::move(sorted);
}

std::vector<std::string> NestingMemberTypes(std::string_view reference_line) {
  std::vector<std::string> types;
  // Members are found on the mask, so that a string holding ":" or ";" is
  // no member; their types are read from the line itself.
  const std::string mask = MaskQuotedStrings(reference_line);
  if (ContainsText(mask, "{ }")) return types;
  Pos s = FindChar(mask, ';', 1);
  Pos t = FindCharInRange(mask, ':', s - 2, 1);
  if (t == 0) return types;
  // s moves to a later ";" every round, or to 0.
  while (s != 0 && At(mask, s - 2) != '}') {
    std::string type = Slice(reference_line, t + 2, s - 2);
    if (!type.empty() && !Contains(type, " ")) types.push_back(std::move(type));
    s = FindChar(mask, ';', s + 1);
    t = FindCharInRange(mask, ':', s - 2, 1);
  }
  return types;
}

}  // namespace ct
