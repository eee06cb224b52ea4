#include "pipeline/layout/placement.h"

#include <algorithm>
#include <limits>

namespace ct {

namespace {

// The first multiple of `unit` (at least 1) at or above `offset`.
std::int64_t RoundUp(std::int64_t offset, std::int64_t unit) {
  std::int64_t rest = offset % unit;
  if (rest == 0) return offset;
  return offset + (rest > 0 ? unit - rest : -rest);
}

}  // namespace

bool FitsSize(std::int64_t value) {
  return value >= std::numeric_limits<std::int32_t>::min() && value <= std::numeric_limits<std::int32_t>::max();
}

std::int64_t MaxAlignment(const std::vector<Member>& members) {
  std::int64_t max = 1;
  for (const Member& member : members) {
    if (member.prefix != -1) {
      if (member.prefix <= 8) max = std::max<std::int64_t>(max, member.prefix);
    } else if (member.size <= 8) {
      max = std::max(max, member.size);
    }
  }
  return max;
}

// Packed members follow each other without gaps.
Placement PlacePacked(const std::vector<Member>& members, const PlacementStart& start) {
  Placement placement;
  std::int64_t offset = start.offset;
  for (size_t k = 0; k < members.size(); ++k) {
    placement.offsets.push_back(offset);
    offset += members[k].size;
    if (!FitsSize(offset)) {
      placement.overflow = k;
      return placement;
    }
  }
  placement.add = offset;
  placement.whole = offset;
  return placement;
}

// Each member starts at a multiple of its alignment, which is its size
// prefix or, without one, its size, capped by the structure's maximum
// alignment. The whole size is rounded up to 4 bytes, the alignment of the
// host's allocations, whatever the maximum alignment is, unless the run asks
// for the padding of a modern compiler.
Placement PlaceUnpacked(const std::vector<Member>& members, const PlacementStart& start, RecordPadding padding) {
  Placement placement;
  placement.max = std::max(MaxAlignment(members), start.max);
  std::int64_t offset = start.offset;
  for (size_t k = 0; k < members.size(); ++k) {
    const Member& member = members[k];
    std::int64_t align = std::min(member.size, placement.max);
    if (member.prefix != -1) align = std::min<std::int64_t>(member.prefix, placement.max);
    // A member of size 0, a size prefix of 0 or a negative size asks for no
    // alignment of its own.
    offset = RoundUp(offset, std::max<std::int64_t>(align, 1));
    placement.offsets.push_back(offset);
    offset += member.size;
    if (!FitsSize(offset)) {
      placement.overflow = k;
      return placement;
    }
  }
  placement.add = offset;
  placement.whole = RoundUp(offset, padding == RecordPadding::kLargest ? placement.max : 4);
  if (!FitsSize(placement.whole)) placement.overflow = members.empty() ? 0 : members.size() - 1;
  return placement;
}

}  // namespace ct
