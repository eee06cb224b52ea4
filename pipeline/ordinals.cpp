#include "pipeline/ordinals.h"

#include <algorithm>
#include <limits>
#include <set>
#include <string>

#include "pipeline/candidate_lines.h"
#include "pipeline/lookups.h"
#include "text/scan.h"

namespace ct {

namespace {

// Floor division by 8, so that a negative bound (which no set may have)
// still gives a size of at least one byte.
std::int64_t ByteOf(std::int64_t ordinal) { return ordinal >= 0 ? ordinal / 8 : -((-ordinal + 7) / 8); }

struct BasicOrdinal {
  std::string_view name;
  OrdinalRange range;
};

constexpr BasicOrdinal kBasicOrdinals[] = {
    {"Byte", {0, 255}},
    {"Char", {0, 255}},
    {"AnsiChar", {0, 255}},
    {"Boolean", {0, 1}},
    {"Shortint", {-128, 127}},
    {"Word", {0, 65535}},
    {"WideChar", {0, 65535}},
    {"Smallint", {-32768, 32767}},
    {"Integer", {-2147483648LL, 2147483647}},
    {"Longint", {-2147483648LL, 2147483647}},
    {"Cardinal", {0, 4294967295LL}},
    {"Longword", {0, 4294967295LL}},
    {"DWord", {0, 4294967295LL}},
};

// Types whose bounds name other types ("Low ( TB ) .. High ( TB )") are
// followed this deep at most, so that declarations naming each other end.
constexpr int kMostNestedBounds = 8;

// Offers every member of an enumeration's list, with its value, to
// `visit`, until it returns true. False when the list names no members.
template <class Visit>
bool VisitEnumerationMembers(std::string_view members, const NumberOf& number_of, Visit&& visit) {
  std::string rest(members);
  std::int64_t next = 0;
  bool any = false;
  // Ends: every cut takes a member and its comma off the front.
  while (!Trim(rest).empty()) {
    Token member = GetTokenOutsideQuotes(CutAtChar(rest, ',', false), '=');
    const std::string name = Trim(member.token);
    if (name.empty()) return false;
    std::int64_t value = next;
    if (!Trim(member.rest).empty()) value = number_of(Trim(member.rest)).value_or(next);
    any = true;
    if (visit(name, value)) return true;
    next = value == std::numeric_limits<std::int64_t>::max() ? value : value + 1;
  }
  return any;
}

// The lines that may write an enumeration out: those with a "(" outside
// strings. Every bound that is a name looks among them, so an indexed list
// spares it the lines of a large input that hold no bracket.
bool BracketKey(std::string_view line, std::string& key) {
  if (!Contains(MaskQuotedStrings(line), "(")) return false;
  key = "(";
  return true;
}

// The value of member `name` of an enumeration written out in a line of
// `declarations`, as a type (" TKind = ( a , b ) ; ") or in a field or set.
std::optional<std::int64_t> EnumerationMemberValue(const LineList& declarations, const std::string& name,
                                                   const NumberOf& number_of) {
  const std::string word = " " + name + " ";
  for (size_t i : CandidateLines(declarations, BracketKey, "(").All()) {
    const std::string& line = declarations.Get(i);
    if (!ContainsText(line, word)) continue;  // spares most lines the masking
    const std::string mask = MaskQuotedStrings(line);
    // Ends: every turn searches after the occurrence before.
    for (Pos at = FindText(mask, word, 1); at != 0; at = FindText(mask, word, at + 1)) {
      const Pos open = FindCharInRange(mask, '(', at, 1);
      const Pos close = FindChar(mask, ')', at + 1);
      if (open == 0 || close == 0 || FindCharInRange(mask, ')', at, open) != 0) continue;
      const std::string before = TrimRight(Copy(mask, 1, open - 1));
      const bool after_of = before.size() >= 3 && SameText(before.substr(before.size() - 3), " of");
      if (before.empty() || (before.back() != '=' && before.back() != ':' && !after_of)) continue;
      std::optional<std::int64_t> found;
      VisitEnumerationMembers(Slice(line, open + 1, close - 1), number_of, [&](const std::string& member, std::int64_t value) {
        if (SameText(member, name)) found = value;
        return found.has_value();
      });
      if (found) return found;
    }
  }
  return std::nullopt;
}

std::optional<OrdinalRange> RangeOf(const LineList& declarations, std::string_view type, const NumberOf& number_of,
                                    int depth);

std::optional<std::int64_t> ValueOf(const LineList& declarations, std::string_view text, const NumberOf& number_of,
                                    int depth) {
  const std::string bound = Trim(text);
  if (bound.empty()) return std::nullopt;
  if (bound.size() == 3 && bound.front() == '"' && bound.back() == '"') return static_cast<unsigned char>(bound[1]);
  for (const bool low : {true, false}) {
    const std::string_view call = low ? "Low ( " : "High ( ";
    if (bound.size() <= call.size() + 2 || !SameText(bound.substr(0, call.size()), call) ||
        bound.compare(bound.size() - 2, 2, " )") != 0)
      continue;
    if (depth >= kMostNestedBounds) return std::nullopt;
    auto range = RangeOf(declarations, Slice(bound, Len(call) + 1, Len(bound) - 2), number_of, depth + 1);
    if (!range) return std::nullopt;
    return low ? range->low : range->high;
  }
  if (auto number = number_of(bound)) return number;
  if (Contains(bound, " ") || Contains(bound, "\"")) return std::nullopt;
  return EnumerationMemberValue(declarations, bound, number_of);
}

std::optional<OrdinalRange> RangeOf(const LineList& declarations, std::string_view type, const NumberOf& number_of,
                                    int depth) {
  std::string t = Trim(type);
  std::set<std::string> followed;
  // Every turn follows a name not followed before.
  while (true) {
    if (t.size() >= 2 && t.front() == '(' && t.back() == ')')
      return EnumerationRange(std::string_view(t).substr(1, t.size() - 2), number_of);
    if (Pos dots = FindText(MaskQuotedStrings(t), " .. ", 1); dots != 0) {
      auto low = ValueOf(declarations, Copy(t, 1, dots - 1), number_of, depth);
      auto high = ValueOf(declarations, Tail(t, dots + 4), number_of, depth);
      if (!low || !high || *high < *low) return std::nullopt;
      return OrdinalRange{*low, *high};
    }
    for (const BasicOrdinal& basic : kBasicOrdinals)
      if (SameText(t, basic.name)) return basic.range;
    if (t.empty() || Contains(t, " ") || !followed.insert(LowerAscii(t)).second) return std::nullopt;
    if (!FindTypeAlias(declarations, t)) return std::nullopt;
  }
}

}  // namespace

std::optional<OrdinalRange> EnumerationRange(std::string_view members, const NumberOf& number_of) {
  std::optional<OrdinalRange> range;
  const bool listed = VisitEnumerationMembers(members, number_of, [&range](const std::string&, std::int64_t value) {
    if (!range) range = OrdinalRange{value, value};
    range->low = std::min(range->low, value);
    range->high = std::max(range->high, value);
    return false;
  });
  if (!listed) return std::nullopt;
  return range;
}

std::optional<OrdinalRange> OrdinalRangeOf(const LineList& declarations, std::string_view type,
                                           const NumberOf& number_of) {
  return RangeOf(declarations, type, number_of, 0);
}

std::optional<std::int64_t> OrdinalValueOf(const LineList& declarations, std::string_view text,
                                           const NumberOf& number_of) {
  return ValueOf(declarations, text, number_of, 0);
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
