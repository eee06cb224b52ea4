#include "pipeline/sizes/ordinal_notations.h"

#include <optional>
#include <string_view>

#include "pipeline/ordinals.h"
#include "pipeline/sizes/numbers.h"
#include "text/scan.h"

namespace ct {

namespace {

// " Low ( T ) " and " High ( T ) " of a type whose range is known become the
// bound.
void ReplaceLowAndHigh(std::string& line, const LineList& declarations, const NumberOf& number_of) {
  for (std::string_view call : {" Low ( ", " High ( "}) {
    Pos from = 1;
    // Ends: every turn searches further right than the turn before.
    for (Pos p = FindText(MaskQuotedStrings(line), call, from); p != 0;
         p = FindText(MaskQuotedStrings(line), call, from)) {
      from = p + 1;
      const Pos close = FindExact(MaskQuotedStrings(line), " )", p + Len(call));
      if (close == 0) break;
      if (Contains(Slice(line, p + Len(call), close - 1), " ")) continue;
      if (auto value = OrdinalValueOf(declarations, Slice(line, p + 1, close + 1), number_of))
        Replace(line, p + 1, close - p + 1, std::to_string(*value));
    }
  }
}

// Each index of an array that names a type (" array [ Boolean , TKind ] ")
// becomes the range of that type, which the layout counts.
void IndexTypesAsRanges(std::string& line, const LineList& declarations, const NumberOf& number_of) {
  constexpr std::string_view kArray = " array [ ";
  Pos from = 1;
  // Ends: every turn searches after the "[" of the turn before.
  for (Pos p = FindText(MaskQuotedStrings(line), kArray, from); p != 0;
       p = FindText(MaskQuotedStrings(line), kArray, from)) {
    const Pos open = p + Len(kArray) - 2;
    from = open;
    const Pos close = FindChar(MaskQuotedStrings(line), ']', open + 1);
    if (close == 0) break;
    std::string rest = Slice(line, open + 1, close - 1);
    std::string indexes;
    bool named = false;
    // Ends: every cut takes an index and its comma off the front.
    while (!rest.empty()) {
      Token index = GetTokenOutsideQuotes(rest, ',');
      rest = std::move(index.rest);
      std::string text = Trim(index.token);
      if (!Contains(text, " .. ")) {
        if (auto range = OrdinalRangeOf(declarations, text, number_of)) {
          text = std::to_string(range->low) + " .. " + std::to_string(range->high);
          named = true;
        }
      }
      indexes += (indexes.empty() ? " " : " , ") + text;
    }
    if (named) Replace(line, open + 1, close - open - 1, indexes + " ");
  }
}

// The bound of a range from `first` to `last` becomes a number when it is a
// character or an enumeration's member; numbers and constants stay for the
// layout, which reads them after their expressions are worked out. Returns
// how much longer the line grew.
Pos BoundAsNumber(std::string& line, Pos first, Pos last, const LineList& declarations, const NumberOf& number_of) {
  const std::string bound = Slice(line, first, last);
  if (bound.empty() || number_of(bound)) return 0;
  auto value = OrdinalValueOf(declarations, bound, number_of);
  if (!value) return 0;
  const std::string number = std::to_string(*value);
  Replace(line, first, last - first + 1, number);
  return Len(number) - Len(bound);
}

void RangeBoundsAsNumbers(std::string& line, const LineList& declarations, const NumberOf& number_of) {
  constexpr std::string_view kDots = " .. ";
  Pos from = 1;
  // Ends: every turn searches after the range of the turn before.
  for (Pos p = FindExact(MaskQuotedStrings(line), kDots, from); p != 0;
       p = FindExact(MaskQuotedStrings(line), kDots, from)) {
    const std::string mask = MaskQuotedStrings(line);
    const Pos high = p + Len(kDots);
    const Pos space = FindChar(mask, ' ', high);
    BoundAsNumber(line, high, space == 0 ? Len(line) : space - 1, declarations, number_of);
    const Pos low = FindCharInRange(mask, ' ', p - 1, 1) + 1;
    p += BoundAsNumber(line, low, p - 1, declarations, number_of);
    from = p + Len(kDots);
  }
}

}  // namespace

void ReadOrdinalsAsNumbers(std::string& line, const LineList& working, const LineList& declarations) {
  auto number_of = [&working](std::string_view text) { return NumberOrConstant(working, std::string(text)); };
  ReplaceLowAndHigh(line, declarations, number_of);
  IndexTypesAsRanges(line, declarations, number_of);
  RangeBoundsAsNumbers(line, declarations, number_of);
}

}  // namespace ct
