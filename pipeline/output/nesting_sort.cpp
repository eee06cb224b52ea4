// The nesting sort without shifting the list for every move: the same
// passes over the reference list, with the working lines' order kept apart
// from their texts, which do not change while they move.
#include <string>
#include <unordered_map>
#include <vector>

#include "pipeline/output/line_order.h"
#include "pipeline/output/nesting_order.h"
#include "pipeline/output/output.h"
#include "pipeline/output/scans.h"
#include "pipeline/stop_request.h"
#include "text/scan.h"

namespace ct {

namespace {

// The working lines that define a structure of each name, found once: the
// name a line defines, and whether it defines one, depend on its text only.
class StructureLines {
 public:
  explicit StructureLines(const LineList& working) : working_(working) {
    std::string key;
    for (size_t i = 0; i < working.Count(); ++i)
      if (StructureNameKey(working.Get(i), key)) by_key_[key].push_back(i);
  }

  const std::vector<size_t>& Named(const std::string& name) {
    auto [found, fresh] = named_.try_emplace(LowerAscii(name));
    if (!fresh) return found->second;
    auto filed = by_key_.find(found->first);
    if (filed == by_key_.end()) return found->second;
    for (size_t i : filed->second)
      if (DefinesStructureNamed(working_.Get(i), name)) found->second.push_back(i);
    return found->second;
  }

 private:
  const LineList& working_;
  std::unordered_map<std::string, std::vector<size_t>> by_key_;
  std::unordered_map<std::string, std::vector<size_t>> named_;
};

}  // namespace

void SortByNesting(LineList& working, const LineList& reference) {
  StructureLines structures(working);
  // Per reference line, the structures its member types name; a type that
  // names none never moves a line.
  std::vector<std::vector<const std::vector<size_t>*>> members(reference.Count());
  for (size_t j0 = 0; j0 < reference.Count(); ++j0) {
    ThrowIfStopRequested();
    for (const std::string& type : NestingMemberTypes(reference.Get(j0))) {
      const std::vector<size_t>& named = structures.Named(type);
      if (!named.empty()) members[j0].push_back(&named);
    }
  }
  LineOrder order(working.Count());
  bool reordered = false;
  for (int pass = 0; pass < kMaxNestingPasses; ++pass) {
    bool moved = false;
    for (size_t j0 = 0; j0 < members.size(); ++j0) {
      ThrowIfStopRequested();
      size_t j = j0;
      for (const std::vector<size_t>* named : members[j0]) {
        // The last structure of that name standing at or after j.
        size_t line = kNoLine;
        size_t position = 0;
        for (size_t candidate : *named) {
          size_t at = order.PositionOf(candidate);
          if (at >= j && (line == kNoLine || at > position)) {
            line = candidate;
            position = at;
          }
        }
        if (line == kNoLine) continue;
        if (position != j) {
          order.MoveTo(line, j);
          reordered = true;
        }
        ++j;
        moved = true;
      }
    }
    if (!moved) break;
  }
  if (reordered) {
    LineList sorted;
    for (size_t i : order.Lines()) sorted.Add(working.Get(i), working.Origin(i));
    working = std::move(sorted);
  }
  PlaceEmbeddedTablesFirst(working);
}

}  // namespace ct
