// Every member of a structure put into accessor format: its offset from the
// working list and a type descriptor from its declared type in the
// reference list.
#include <string>

#include "pipeline/accessors.h"
#include "pipeline/normalise.h"
#include "pipeline/sizes.h"
#include "text/scan.h"

namespace ct {

namespace {

struct Lists {
  const LineList& working;
  const LineList& reference;
  const LineList& snapshot;
};

// Pairs the n-th ";" of the laid-out line with the n-th member of the
// declared line and wraps each offset as "{ offset ,descriptor }".
std::string WithAccessorEntries(std::string laid_out, const std::string& declared, const Lists& lists) {
  Pos s = FindChar(laid_out, ';', 1);
  if (!Contains(laid_out, "=")) {
    // A variable outside any structure sits at offset 0 of its own.
    Pos colon = FindChar(laid_out, ':', 1);
    if (colon != 0 && colon < s) {
      Replace(laid_out, colon + 1, s - colon - 1, " 0 ");
      s = FindChar(laid_out, ';', 1);
    }
  }
  Pos d = FindChar(declared, ';', 1);
  // Each round consumes the part of the laid-out line up to the ";" it
  // paired; the insertions all lie before the next search start.
  while (s != 0 && At(laid_out, s - 2) != '}') {
    std::string type;
    if (d == 0 || At(declared, d - 2) == '}') {
      // A declared line with fewer members leaves the rest without a type
      // rather than lending them text of its other members.
      d = 0;
    } else {
      Pos e = FindCharInRange(declared, ':', d - 1, 1);
      if (e == 0) e = FindCharInRange(declared, '=', d - 1, 1);
      type = Trim(Slice(declared, e + 1, d - 1));
      d = FindChar(declared, ';', d + 1);
    }
    const std::string descriptor = ResolveTypeDescriptor(lists.working, lists.reference, lists.snapshot, type);
    InsertAt(laid_out, "," + descriptor + "} ", s - 1);
    InsertAt(laid_out, " {", FindCharInRange(laid_out, ':', s - 1, 1) + 1);
    s = FindChar(laid_out, ';', s + Len(descriptor) + 6);
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
  const Lists lists{working, reference, snapshot};
  const size_t count = working.Count();
  for (size_t i = 0; i < count; ++i) {
    const std::string laid_out = working.Get(i);
    if (!Contains(laid_out, ":") || !reference.Has(i)) continue;
    std::string declared = reference.Get(i);
    if (SplitMemberNames(declared)) reference.Put(i, declared);
    if (SameText(declared, laid_out)) continue;
    working.Put(i, WithAccessorEntries(laid_out, declared, lists));
  }
}

}  // namespace ct
