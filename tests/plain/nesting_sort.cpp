// The plain nesting sort: every move deletes and inserts a line of the
// working list. The shipped sort keeps the order apart from the texts.
#include <string>
#include <string_view>

#include "pipeline/output/nesting_order.h"
#include "pipeline/output/scans.h"
#include "tests/plain/plain.h"
#include "text/scan.h"

namespace ct {

namespace {

// Walks the members of the reference line that stood at `j0` and moves each
// embedded structure still standing at or after the insertion point to it,
// one behind the other. Returns whether a line moved (a move onto its own
// place counts).
bool MoveEmbeddedStructuresTo(LineList& working, std::string_view reference_line, size_t j0) {
  size_t j = j0;
  bool moved = false;
  for (const std::string& type : NestingMemberTypes(reference_line)) {
    size_t k = FindLastStructureNamed(working, type, j);
    if (k == kNoLine) continue;
    std::string line = working.Get(k);
    LineOrigin origin = working.Origin(k);
    working.Delete(k);
    working.Insert(j, std::move(line), origin);
    ++j;
    moved = true;
  }
  return moved;
}

}  // namespace

void PlainSortByNesting(LineList& working, const LineList& reference) {
  for (int pass = 0; pass < kMaxNestingPasses; ++pass) {
    bool moved = false;
    const size_t count = reference.Count();
    for (size_t j0 = 0; j0 < count; ++j0)
      if (MoveEmbeddedStructuresTo(working, reference.Get(j0), j0)) moved = true;
    if (!moved) break;
  }
  // The passes read the reference list at the places the structures stood
  // before the first move, so a chain declared user first can stay out of
  // order; settle what they left.
  PlaceEmbeddedTablesFirst(working);
}

}  // namespace ct
