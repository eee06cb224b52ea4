#include "pipeline/ordinals.h"

#include <algorithm>
#include <limits>
#include <set>
#include <string>

#include "pipeline/lookups.h"
#include "text/scan.h"

namespace ct {

namespace {

// Floor division by 8, so that a negative bound (which no set may have)
// still gives a size of at least one byte.
std::int64_t ByteOf(std::int64_t ordinal) { return ordinal >= 0 ? ordinal / 8 : -((-ordinal + 7) / 8); }

// A bound: a number or constant, or a string of one byte, whose code it is.
std::optional<std::int64_t> BoundOf(std::string_view text, const NumberOf& number_of) {
  const std::string bound = Trim(text);
  if (bound.size() == 3 && bound.front() == '"' && bound.back() == '"') return static_cast<unsigned char>(bound[1]);
  if (bound.empty() || Contains(bound, " ")) return std::nullopt;
  return number_of(bound);
}

struct BasicOrdinal {
  std::string_view name;
  OrdinalRange range;
};

constexpr BasicOrdinal kBasicOrdinals[] = {
    {"Byte", {0, 255}}, {"Char", {0, 255}}, {"AnsiChar", {0, 255}}, {"Boolean", {0, 1}},
};

}  // namespace

std::optional<OrdinalRange> EnumerationRange(std::string_view members, const NumberOf& number_of) {
  std::string rest(members);
  std::optional<OrdinalRange> range;
  std::int64_t next = 0;
  // Ends: every cut takes a member and its comma off the front.
  while (!Trim(rest).empty()) {
    Token member = GetTokenOutsideQuotes(CutAtChar(rest, ',', false), '=');
    if (Trim(member.token).empty()) return std::nullopt;
    std::int64_t value = next;
    if (!Trim(member.rest).empty()) value = number_of(Trim(member.rest)).value_or(next);
    if (!range) range = OrdinalRange{value, value};
    range->low = std::min(range->low, value);
    range->high = std::max(range->high, value);
    next = value == std::numeric_limits<std::int64_t>::max() ? value : value + 1;
  }
  return range;
}

std::optional<OrdinalRange> OrdinalRangeOf(const LineList& declarations, std::string_view type,
                                           const NumberOf& number_of) {
  std::string t = Trim(type);
  std::set<std::string> followed;
  // Every turn follows a name not followed before.
  while (true) {
    if (t.size() >= 2 && t.front() == '(' && t.back() == ')')
      return EnumerationRange(std::string_view(t).substr(1, t.size() - 2), number_of);
    if (Pos dots = FindText(MaskQuotedStrings(t), " .. ", 1); dots != 0) {
      auto low = BoundOf(Copy(t, 1, dots - 1), number_of);
      auto high = BoundOf(Tail(t, dots + 4), number_of);
      if (!low || !high || *high < *low) return std::nullopt;
      return OrdinalRange{*low, *high};
    }
    for (const BasicOrdinal& basic : kBasicOrdinals)
      if (SameText(t, basic.name)) return basic.range;
    if (t.empty() || Contains(t, " ") || !followed.insert(LowerAscii(t)).second) return std::nullopt;
    if (!FindTypeAlias(declarations, t)) return std::nullopt;
  }
}

OrdinalStorage StorageOf(const OrdinalRange& range) {
  if (range.low >= 0) {
    if (range.high <= 0xFF) return {1, "Byte"};
    if (range.high <= 0xFFFF) return {2, "Word"};
    return {4, "Longword"};
  }
  if (range.low >= -0x80 && range.high <= 0x7F) return {1, "Shortint"};
  if (range.low >= -0x8000 && range.high <= 0x7FFF) return {2, "Smallint"};
  return {4, "Longint"};
}

std::int64_t SetBytes(const OrdinalRange& base) { return ByteOf(base.high) - ByteOf(base.low) + 1; }

}  // namespace ct
