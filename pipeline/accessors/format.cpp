// Every member of a structure put into accessor format: its offset from the
// working list and a type descriptor from its declared type in the
// reference list.
#include <algorithm>
#include <string>
#include <string_view>

#include "pipeline/accessors/accessors.h"
#include "pipeline/accessors/descriptor.h"
#include "pipeline/accessors/member_names.h"
#include "pipeline/fields.h"
#include "pipeline/line_forms.h"
#include "pipeline/stop_request.h"
#include "pipeline/variant_parts.h"
#include "text/scan.h"

namespace ct {

namespace {

// One member of a line: its names run up to the first colon at bracket
// depth 0 after the previous member's ";", its type up to the next ";" at
// depth 0, so that the colons and semicolons of a parameter list stay
// inside the type. A semicolon of 0 means the line holds no further member.
struct MemberSpan {
  Pos colon = 0;
  Pos semicolon = 0;
};

MemberSpan NextMember(std::string_view text, Pos from) {
  MemberSpan span;
  int depth = 0;
  for (Pos p = std::max<Pos>(from, 1); p <= Len(text); ++p) {
    const char c = At(text, p);
    if (c == '(' || c == '[') {
      ++depth;
    } else if (c == ')' || c == ']') {
      if (depth > 0) --depth;
    } else if (depth == 0 && c == ':' && span.colon == 0) {
      span.colon = p;
    } else if (depth == 0 && c == ';') {
      span.semicolon = p;
      break;
    }
  }
  return span;
}

// The colon that ends a member's names; for a member without one, the last
// colon or, failing that, the last "=" in front of its ";".
Pos NamesEnd(std::string_view text, const MemberSpan& member) {
  if (member.colon != 0) return member.colon;
  Pos colon = FindCharInRange(text, ':', member.semicolon - 1, 1);
  return colon != 0 ? colon : FindCharInRange(text, '=', member.semicolon - 1, 1);
}

// Pairs the n-th member of the laid-out line with the n-th member of the
// declared line and wraps each offset as "{ offset ,descriptor }". Members
// are found in copies with string contents masked: what a literal holds is
// text. The line is rebuilt member by member, each member's insertions made
// in its own part and the part appended: inserting into the whole line
// would copy the rest of it for every member, which a record of many
// members feels. A member without a colon of its own takes the last colon
// or "=" before it, which may stand in a part already written; from there
// on the line is edited in place as a whole.
template <class Describe>
std::string WithAccessorEntries(std::string laid_out, const std::string& declared, Describe&& describe) {
  std::string laid_mask = MaskQuotedStrings(laid_out);
  const std::string declared_mask = MaskQuotedStrings(declared);
  MemberSpan slot = NextMember(laid_mask, 1);
  if (!Contains(laid_mask, "=") && slot.colon != 0 && slot.semicolon != 0) {
    // A variable outside any structure sits at offset 0 of its own.
    Replace(laid_out, slot.colon + 1, slot.semicolon - slot.colon - 1, " 0 ");
    laid_mask = MaskQuotedStrings(laid_out);
    slot = NextMember(laid_mask, 1);
  }
  Pos declared_from = 1;
  auto next_descriptor = [&] {
    ThrowIfStopRequested();
    std::string type;
    const MemberSpan member = NextMember(declared_mask, declared_from);
    if (member.semicolon == 0 || At(declared_mask, member.semicolon - 2) == '}') {
      // A declared line with fewer members leaves the rest without a type
      // rather than lending them text of its other members.
      declared_from = Len(declared) + 1;
    } else {
      declared_from = member.semicolon + 1;
      type = Trim(Slice(declared, NamesEnd(declared_mask, member) + 1, member.semicolon - 1));
    }
    return describe(type);
  };
  // Everything of the line before `cut` stands, with its insertions, in
  // `out` and its mask in `out_mask`.
  std::string out, out_mask;
  Pos cut = 1;
  auto mask_at = [&](Pos p) {
    if (p >= cut) return At(laid_mask, p);
    const Pos back = cut - p;
    return back <= Len(out_mask) ? out_mask[out_mask.size() - static_cast<size_t>(back)] : '\0';
  };
  // Each round consumes the part of the line up to the ";" it paired.
  while (slot.semicolon != 0 && mask_at(slot.semicolon - 2) != '}' && slot.colon != 0) {
    const std::string descriptor = next_descriptor();
    const Pos s = slot.semicolon;
    std::string part = Slice(laid_out, cut, s), part_mask = Slice(laid_mask, cut, s);
    for (std::string* text : {&part, &part_mask}) {
      InsertAt(*text, "," + descriptor + "} ", s - cut);
      InsertAt(*text, " {", slot.colon - cut + 2);
    }
    out += part;
    out_mask += part_mask;
    cut = s + 1;
    slot = NextMember(laid_mask, cut);
  }
  if (slot.semicolon == 0 || mask_at(slot.semicolon - 2) == '}') return out + Tail(laid_out, cut);
  const Pos shift = Len(out) - (cut - 1);
  laid_out = out + Tail(laid_out, cut);
  laid_mask = out_mask + Tail(laid_mask, cut);
  slot.semicolon += shift;
  auto insert = [&](std::string_view text, Pos at) {
    InsertAt(laid_out, text, at);
    InsertAt(laid_mask, text, at);
  };
  // Each round consumes the part of the laid-out line up to the ";" it
  // paired; the insertions all lie before the next search start.
  while (slot.semicolon != 0 && At(laid_mask, slot.semicolon - 2) != '}') {
    const std::string descriptor = next_descriptor();
    const Pos s = slot.semicolon;
    const Pos names_end = NamesEnd(laid_mask, slot);
    insert("," + descriptor + "} ", s - 1);
    insert(" {", names_end + 1);
    slot = NextMember(laid_mask, s + Len(descriptor) + 6);
  }
  return laid_out;
}

}  // namespace

bool SplitMemberNames(std::string& line) {
  if (!Contains(line, ",")) return false;
  const std::string compact = CompactLine(line);
  // Strings are emptied while names are split, so that a comma or colon in
  // a literal is never taken for a separator.
  std::string split = WithEmptiedStrings(compact);
  if (!SplitGroupsInCompactLine(split)) return false;
  RestoreQuotedStrings(compact, split);
  line = LoosenLine(split);
  return true;
}

void ConvertToAccessorFormat(LineList& working, LineList& reference, const LineList& snapshot) {
  auto describe = [&](const std::string& type) {
    return ResolveTypeDescriptor(working, reference, snapshot, type);
  };
  const size_t count = working.Count();
  for (size_t i = 0; i < count; ++i) {
    ThrowIfStopRequested();
    const std::string laid_out = working.Get(i);
    if (!Contains(MaskQuotedStrings(laid_out), ":") || !reference.Has(i)) continue;
    std::string declared = reference.Get(i);
    if (SplitMemberNames(declared)) reference.Put(i, declared);
    if (SameText(declared, laid_out)) continue;
    // The marks of variant parts have placed the branches; every field of
    // every branch becomes an ordinary entry at its own offset.
    working.Put(i, WithAccessorEntries(WithoutVariantMarks(laid_out), WithoutVariantMarks(declared), describe));
  }
}

}  // namespace ct
