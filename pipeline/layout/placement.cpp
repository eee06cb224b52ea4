#include "pipeline/layout/placement.h"

#include <algorithm>
#include <limits>
#include <vector>

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
    if (member.mark != VariantMark::kNone) continue;
    if (member.prefix != -1) {
      if (member.prefix <= 8) max = std::max<std::int64_t>(max, member.prefix);
    } else if (member.size <= 8) {
      max = std::max(max, member.size);
    }
  }
  return max;
}

namespace {

// The walk both placements share: each field at the first multiple of
// `alignment(field)` at or after the end of the one before, the variant
// parts' marks moving the offset. Leaves `add`, the end of the members.
template <class Alignment>
Placement PlaceMembers(const std::vector<Member>& members, const PlacementStart& start, Alignment&& alignment) {
  // The open variant parts, innermost last: where their branches start, and
  // the furthest any branch has reached so far.
  struct OpenPart {
    std::int64_t start;
    std::int64_t end;
  };
  std::vector<OpenPart> parts;
  auto end_part = [&parts](std::int64_t offset) {
    const std::int64_t end = std::max(parts.back().end, offset);
    parts.pop_back();
    return end;
  };
  Placement placement;
  std::int64_t offset = start.offset;
  for (size_t k = 0; k < members.size(); ++k) {
    const Member& member = members[k];
    switch (member.mark) {
      case VariantMark::kPartBegins:
        parts.push_back({offset, offset});
        break;
      case VariantMark::kBranchBegins:
        if (parts.empty()) break;
        parts.back().end = std::max(parts.back().end, offset);
        offset = parts.back().start;
        break;
      case VariantMark::kPartEnds:
        if (!parts.empty()) offset = end_part(offset);
        break;
      case VariantMark::kNone:
        offset = RoundUp(offset, std::max<std::int64_t>(alignment(member), 1));
        break;
    }
    placement.offsets.push_back(offset);
    offset += member.mark == VariantMark::kNone ? member.size : 0;
    if (!FitsSize(offset)) {
      placement.overflow = k;
      return placement;
    }
  }
  while (!parts.empty()) offset = end_part(offset);
  placement.add = offset;
  return placement;
}

}  // namespace

// Packed members follow each other without gaps.
Placement PlacePacked(const std::vector<Member>& members, const PlacementStart& start) {
  Placement placement = PlaceMembers(members, start, [](const Member&) { return 1; });
  placement.whole = placement.add;
  return placement;
}

// Each member starts at a multiple of its alignment, which is its size
// prefix or, without one, its size, capped by the structure's maximum
// alignment. The whole size is rounded up to 4 bytes, the alignment of the
// host's allocations, whatever the maximum alignment is, unless the run asks
// for the padding of a modern compiler.
Placement PlaceUnpacked(const std::vector<Member>& members, const PlacementStart& start, RecordPadding padding) {
  const std::int64_t max = std::max(MaxAlignment(members), start.max);
  // A member of size 0, a size prefix of 0 or a negative size asks for no
  // alignment of its own.
  Placement placement = PlaceMembers(members, start, [max](const Member& member) {
    return member.prefix != -1 ? std::min<std::int64_t>(member.prefix, max) : std::min(member.size, max);
  });
  placement.max = max;
  if (placement.overflow) return placement;
  placement.whole = RoundUp(placement.add, padding == RecordPadding::kLargest ? placement.max : 4);
  if (!FitsSize(placement.whole)) placement.overflow = members.empty() ? 0 : members.size() - 1;
  return placement;
}

}  // namespace ct
