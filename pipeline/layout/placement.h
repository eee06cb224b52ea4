// Where the members of one structure go: offsets and the three size fields,
// from the members' sizes and size prefixes alone.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "pipeline/run_options.h"
#include "pipeline/variant_parts.h"

namespace ct {

struct Member {
  std::string value;     // as written, to name it when it cannot be placed
  std::int64_t size = 0;
  int prefix = -1;       // the alignment unit of a sized form or structure
  // A variant part's mark takes no room: it moves the offset back to where
  // its part's branches start, or on to where the longest one ends, and is
  // placed at that offset.
  VariantMark mark = VariantMark::kNone;
};

// Where the own members of a structure begin: 0 for a record or a class
// without a parent; for a derived class the end of its parent's instance,
// whose alignment the class inherits.
struct PlacementStart {
  std::int64_t offset = 0;
  std::int64_t max = 1;
};

struct Placement {
  std::vector<std::int64_t> offsets;
  std::int64_t whole = 0;  // nWholeSize: what a member of this type occupies
  std::int64_t add = 0;    // nAddSize: the end of the last member
  std::int64_t max = 1;    // nMaxSize: the structure's maximum alignment
  std::optional<size_t> overflow;  // the member whose offset or end does not fit
};

// Sizes and offsets are 32-bit numbers in the host; a structure whose
// numbers leave that range cannot be placed.
bool FitsSize(std::int64_t value);

// The largest of 1, every size prefix up to 8 and, for members without a
// prefix, every size up to 8. A member with a prefix (a string, an array, a
// structure) aligns by its type, never by its total size. The fields of
// every branch of a variant part count.
std::int64_t MaxAlignment(const std::vector<Member>& members);

// Every branch of a variant part starts where the members before the part
// end, each field aligned as its type asks; the part ends where its longest
// branch ends. A part the members leave open ends with them.
Placement PlacePacked(const std::vector<Member>& members, const PlacementStart& start);
Placement PlaceUnpacked(const std::vector<Member>& members, const PlacementStart& start, RecordPadding padding);

}  // namespace ct
