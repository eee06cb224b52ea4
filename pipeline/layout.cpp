// One layout pass: every structure line whose member values all resolve gets
// its member offsets and its three size fields. A line that does not resolve
// yet is left exactly as it was read and tried again in the next cycle.
#include "pipeline/layout.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "pipeline/operands.h"
#include "text/scan.h"

namespace ct {

namespace {

constexpr std::string_view kLaidOutMark = " nWholeSize :";
constexpr std::string_view kPacked = " packed ";

// A line under layout, and the copy of it in which its structure (braces,
// member colons and ends, the packed keyword) is searched: braces, colons
// and semicolons inside double-quoted strings are text, so the copy has the
// strings' contents masked. Every edit is made to both, so that positions
// found in one apply to the other.
struct LayoutLine {
  explicit LayoutLine(std::string_view line) : text(line), structure(MaskQuotedStrings(line)) {}

  void Replace(Pos from, Pos count, std::string_view what) {
    ct::Replace(text, from, count, what);
    ct::Replace(structure, from, count, what);
  }
  void Insert(std::string_view what, Pos at) {
    InsertAt(text, what, at);
    InsertAt(structure, what, at);
  }

  std::string text;
  std::string structure;
};

// Members are found colon by colon; a member's value runs from the second
// byte after its colon to the byte before the next " ;".
Pos MemberValueEnd(const LayoutLine& line, Pos colon) { return FindText(line.structure, " ;", colon + 1); }
Pos NextColon(const LayoutLine& line, Pos colon) { return FindChar(line.structure, ':', colon + 1); }

// Sizes and offsets are 32-bit numbers in the host; a structure whose
// numbers leave that range is not laid out.
bool FitsSize(std::int64_t value) {
  return value >= std::numeric_limits<std::int32_t>::min() && value <= std::numeric_limits<std::int32_t>::max();
}

struct Member {
  std::string value;  // as written, to name it when it cannot be placed
  std::int64_t size = 0;
  int prefix = -1;
};

struct Resolution {
  std::vector<Member> members;
  std::int64_t max_align = 1;
  bool resolved = true;
  std::string unresolved_value;  // the first value that did not resolve
};

// Resolves every member value and writes it back in its normalised form
// (with its size prefix, if any). The largest member size and size prefix up
// to 8 become the structure's maximum alignment.
Resolution ResolveMembers(const LineList& working, LayoutLine& line) {
  Resolution result;
  for (Pos b = NextColon(line, 0); b != 0; b = NextColon(line, b)) {
    Pos e = MemberValueEnd(line, b);
    std::string value = e == 0 ? std::string() : Slice(line.text, b + 2, e - 1);
    auto operand = ResolveMemberValue(working, value);
    if (!operand || !FitsSize(operand->value)) {
      result.resolved = false;
      result.unresolved_value = std::move(value);
      return result;
    }
    Member member{value, operand->value, operand->prefix};
    std::string normalised = operand->text;
    if (member.prefix != -1) normalised = std::to_string(member.prefix) + "_" + normalised;
    line.Replace(b + 2, e - b - 2, normalised);
    if (member.size <= 8) result.max_align = std::max(result.max_align, member.size);
    if (member.prefix != -1 && member.prefix <= 8) result.max_align = std::max<std::int64_t>(result.max_align, member.prefix);
    result.members.push_back(std::move(member));
  }
  return result;
}

struct Placement {
  std::vector<std::int64_t> offsets;
  std::int64_t whole = 0;  // nWholeSize
  std::int64_t add = 0;    // nAddSize
  std::int64_t max = 1;    // nMaxSize
  std::optional<size_t> overflow;  // the member whose offset or end does not fit
};

std::int64_t RoundUp(std::int64_t offset, std::int64_t unit) {
  std::int64_t rest = offset % unit;
  if (rest == 0) return offset;
  return offset + (rest > 0 ? unit - rest : -rest);
}

// Packed members follow each other without gaps.
Placement PlacePacked(const std::vector<Member>& members) {
  Placement placement;
  std::int64_t offset = 0;
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
// host's allocations, whatever the maximum alignment is.
Placement PlaceUnpacked(const std::vector<Member>& members, std::int64_t max_align) {
  Placement placement;
  std::int64_t offset = 0;
  for (size_t k = 0; k < members.size(); ++k) {
    const Member& member = members[k];
    std::int64_t align = std::min(member.size, max_align);
    if (member.prefix != -1) align = std::min<std::int64_t>(member.prefix, max_align);
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
  placement.whole = RoundUp(offset, 4);
  placement.max = max_align;
  if (!FitsSize(placement.whole)) placement.overflow = members.size() - 1;
  return placement;
}

void WriteOffsets(LayoutLine& line, const std::vector<std::int64_t>& offsets) {
  size_t k = 0;
  // Resolution wrote back values free of colons and " ;", so this walk meets
  // the members it resolved, one offset each.
  for (Pos b = NextColon(line, 0); b != 0 && k < offsets.size(); b = NextColon(line, b), ++k) {
    Pos e = MemberValueEnd(line, b);
    line.Replace(b + 2, e - b - 2, std::to_string(offsets[k]));
  }
}

std::string SizeFields(const Placement& placement) {
  return " nWholeSize : " + std::to_string(placement.whole) + " ;" + " nAddSize : " + std::to_string(placement.add) +
         " ;" + " nMaxSize : " + std::to_string(placement.max) + " ;";
}

// Declarations of the same name made earlier or later (a forward declaration
// left as an empty pair of braces) take the sizes of the full one; their
// braces then hold the size fields only.
bool GiveNamesakesSizes(LineList& working, size_t self, std::string_view name, std::string_view fields) {
  bool changed = false;
  for (size_t j = 0; j < working.Count(); ++j) {
    if (j == self) continue;
    LayoutLine other(working.Get(j));
    Pos equals = FindChar(other.structure, '=', 1);
    if (equals == 0 || Copy(other.text, 1, equals - 1) != name) continue;
    Pos open = FindChar(other.structure, '{', 1);
    if (open == 0) continue;
    Pos close = FindChar(other.structure, '}', open);
    other.Replace(open + 1, close - open - 1, fields);
    if (other.text == working.Get(j)) continue;
    working.Put(j, std::move(other.text));
    changed = true;
  }
  return changed;
}

}  // namespace

LayoutPass LayOutStructures(LineList& working) {
  LayoutPass pass;
  for (size_t i = 0; i < working.Count(); ++i) {
    const std::string read = working.Get(i);
    LayoutLine line(read);
    if (FindText(line.structure, kLaidOutMark, 1) != 0) continue;

    Resolution resolution = ResolveMembers(working, line);
    if (!resolution.resolved) {
      pass.last_unresolved = i;
      pass.unresolved_value = std::move(resolution.unresolved_value);
      continue;
    }
    Pos brace = FindChar(line.structure, '{', 1);
    if (brace == 0) continue;

    Placement placement;
    if (Pos packed = FindText(line.structure, kPacked, 1); packed != 0) {
      line.Replace(packed, Len(kPacked), " ");
      brace = packed + 1;
      placement = PlacePacked(resolution.members);
    } else {
      placement = PlaceUnpacked(resolution.members, resolution.max_align);
    }
    if (placement.overflow) {
      pass.last_unresolved = i;
      pass.unresolved_value = resolution.members[*placement.overflow].value;
      continue;
    }
    WriteOffsets(line, placement.offsets);

    if (placement.whole != 0) {
      std::string fields = SizeFields(placement);
      line.Insert(fields, brace + 1);
      Pos equals = FindChar(line.structure, '=', 1);
      std::string name = Copy(line.text, 1, equals - 1);
      if (GiveNamesakesSizes(working, i, name, fields)) pass.changed = true;
    }
    if (line.text == read) continue;
    working.Put(i, std::move(line.text));
    pass.changed = true;
  }
  return pass;
}

}  // namespace ct
