// Ordinal types as a 32-bit compiler stores them: enumerations (in the
// smallest of 1, 2 or 4 bytes, {$Z1}) and sets over them (one bit per value
// of the base type's range, in whole bytes, {$PACKSET 1}).
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string_view>

#include "text/line_list.h"

namespace ct {

struct OrdinalRange {
  std::int64_t low = 0;
  std::int64_t high = 0;
};

// The number a bound or an enumeration value stands for (a number as
// written, a constant), or nothing.
using NumberOf = std::function<std::optional<std::int64_t>(std::string_view)>;

// The values of an enumeration's member list ("a , b = 5 , c", without its
// brackets): the first member is 0, each next one follows the one before,
// unless it is given a value that `number_of` reads. Nothing for a list
// that names no members.
std::optional<OrdinalRange> EnumerationRange(std::string_view members, const NumberOf& number_of);

// The range of the type a set is declared over, as written after "set of"
// (or of any enumeration, subrange or array index): an enumeration
// "( a , b )", a subrange "low .. high" (each bound an ordinal value, see
// OrdinalValueOf), or the name of such a type or of a basic ordinal type
// (Byte, Char, Boolean, Word, Smallint, Integer, ...), followed through its
// declaration in `declarations` (each name once). Nothing when the range
// cannot be told.
std::optional<OrdinalRange> OrdinalRangeOf(const LineList& declarations, std::string_view type,
                                           const NumberOf& number_of);

// The value of an ordinal as a bound or an index writes it: what
// `number_of` reads (a number, "- 1", a constant), a one-character string
// (its code), "Low ( T )" or "High ( T )" of an ordinal type T, or a member
// of an enumeration declared in `declarations`. Nothing when it is none of
// these.
std::optional<std::int64_t> OrdinalValueOf(const LineList& declarations, std::string_view text,
                                           const NumberOf& number_of);

// The smallest storage that holds every value of the range: 1, 2 or 4
// bytes, signed when the range holds negative values, and the basic type of
// that storage.
struct OrdinalStorage {
  int bytes;
  std::string_view type;
};
OrdinalStorage StorageOf(const OrdinalRange& range);

// A set's size in bytes: (high div 8) - (low div 8) + 1 of its base range.
std::int64_t SetBytes(const OrdinalRange& base);

}  // namespace ct
