// A structure's table names the tables of the structures it embeds, so those
// must be defined first in the script.
#include <string>

#include "pipeline/output.h"
#include "pipeline/output_scans.h"
#include "text/scan.h"

namespace ct {

namespace {

// Further passes rarely change anything; the bound keeps the sort finite
// whatever the declarations.
constexpr int kMaxNestingPasses = 9;

// Walks the members of the reference line that stood at `j0` and moves each
// embedded structure still standing at or after the insertion point to it,
// one behind the other. Returns whether a line moved (a move onto its own
// place counts).
bool MoveEmbeddedStructuresTo(LineList& working, std::string_view reference_line, size_t j0) {
  // Members are found on the mask, so that a string holding ":" or ";" is
  // no member; their types are read from the line itself.
  const std::string mask = MaskQuotedStrings(reference_line);
  if (ContainsText(mask, "{ }")) return false;
  Pos s = FindChar(mask, ';', 1);
  Pos t = FindCharInRange(mask, ':', s - 2, 1);
  if (t == 0) return false;
  size_t j = j0;
  bool moved = false;
  // s moves to a later ";" every round, or to 0.
  while (s != 0 && At(mask, s - 2) != '}') {
    std::string type = Slice(reference_line, t + 2, s - 2);
    if (!type.empty() && !Contains(type, " ")) {
      size_t k = FindLastStructureNamed(working, type, j);
      if (k != kNoLine) {
        std::string line = working.Get(k);
        working.Delete(k);
        working.Insert(j, std::move(line));
        ++j;
        moved = true;
      }
    }
    s = FindChar(mask, ';', s + 1);
    t = FindCharInRange(mask, ':', s - 2, 1);
  }
  return moved;
}

}  // namespace

void SortByNesting(LineList& working, const LineList& reference) {
  for (int pass = 0; pass < kMaxNestingPasses; ++pass) {
    bool moved = false;
    const size_t count = reference.Count();
    for (size_t j0 = 0; j0 < count; ++j0)
      if (MoveEmbeddedStructuresTo(working, reference.Get(j0), j0)) moved = true;
    if (!moved) break;
  }
}

}  // namespace ct
