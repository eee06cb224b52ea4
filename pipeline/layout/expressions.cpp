// The evaluation pass knows no precedence: each operator is swept along the
// whole line in a fixed order, so "*" binds before "div", "div" before "+",
// and "+" before "-", and parentheses go only with the single operation
// inside them (or around a single value). What a sweep cannot resolve yet (a
// constant defined further down, a structure not laid out yet) is left for
// the next layout cycle, which runs the pass again.
#include "pipeline/layout/expressions.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "pipeline/operands.h"
#include "pipeline/ordinals.h"
#include "pipeline/stop_request.h"
#include "text/scan.h"

namespace ct {

namespace {

using Result = std::optional<std::string>;
using Number = std::optional<std::int64_t>;

// An operation that overflows 64 bits or divides by zero has no value: it
// stays as written, and the layout names it if a size depends on it.
Number CheckedProduct(std::int64_t a, std::int64_t b) {
  std::int64_t value;
  if (__builtin_mul_overflow(a, b, &value)) return std::nullopt;
  return value;
}

Number CheckedQuotient(std::int64_t a, std::int64_t b) {
  if (b == 0 || (a == std::numeric_limits<std::int64_t>::min() && b == -1)) return std::nullopt;
  return a / b;
}

Number CheckedSum(std::int64_t a, std::int64_t b) {
  std::int64_t value;
  if (__builtin_add_overflow(a, b, &value)) return std::nullopt;
  return value;
}

Number CheckedDifference(std::int64_t a, std::int64_t b) {
  std::int64_t value;
  if (__builtin_sub_overflow(a, b, &value)) return std::nullopt;
  return value;
}

// The number of indexes from low to high, both included.
Number CountFromTo(std::int64_t low, std::int64_t high) {
  Number span = CheckedDifference(high, low);
  return span ? CheckedSum(*span, 1) : std::nullopt;
}

Result Decimal(Number value) {
  if (!value) return std::nullopt;
  return std::to_string(*value);
}

Result Product(const Operand& left, const Operand& right) { return Decimal(CheckedProduct(left.value, right.value)); }
Result Quotient(const Operand& left, const Operand& right) { return Decimal(CheckedQuotient(left.value, right.value)); }
Result Sum(const Operand& left, const Operand& right) { return Decimal(CheckedSum(left.value, right.value)); }
Result Difference(const Operand& left, const Operand& right) {
  return Decimal(CheckedDifference(left.value, right.value));
}
Result RangeLength(const Operand& left, const Operand& right) { return Decimal(CountFromTo(left.value, right.value)); }

// "count of element" becomes the array value: the element's size prefix (or
// the element size itself), "A", and the total size, which the layout reads
// like a sized form. That form has room for a one-digit prefix only; an
// element of 10 bytes or more gives the plain total size, which the layout
// places like any member of that size.
Result ArrayValue(const Operand& count, const Operand& element) {
  Number total = CheckedProduct(count.value, element.value);
  if (!total) return std::nullopt;
  std::string unit = element.prefix != -1 ? std::to_string(element.prefix) : element.text;
  if (unit.size() != 1) return std::to_string(*total);
  return unit + "A" + std::to_string(*total);
}

struct OperatorPass {
  OperatorSweep sweep;
  Result (*compute)(const Operand&, const Operand&);
};

constexpr std::array<OperatorPass, 4> kArithmetic = {{
    {{" * ", '(', ')'}, Product},
    {{" div ", '(', ')'}, Quotient},
    {{" + ", '(', ')'}, Sum},
    {{" - ", '(', ')'}, Difference},
}};
constexpr OperatorPass kRange = {{" .. ", '[', ']'}, RangeLength};
constexpr OperatorPass kArray = {{" of ", '(', ')'}, ArrayValue};

void Sweep(const LineList& list, std::string& line, const OperatorPass& pass) {
  SweepOperator(list, line, pass.sweep, pass.compute);
}

// The product of the dimensions of a bracket list of ranges. A range whose
// bounds do not resolve yet is passed over. A lone range is counted here
// too, since a bound below 0 ("- 1") is two words, which the range sweep
// cannot take. 0 when nothing is counted: no range that resolves, or a
// count that overflows.
std::int64_t CountIndexes(const LineList& list, std::string content) {
  // A list holding a string is a set or an index, never array dimensions;
  // replacing it would take the string with it.
  if (!Contains(content, " .. ") || Contains(content, "\"")) return 0;
  std::int64_t count = 0;
  // Ends: every cut takes at least the element and its comma off the front.
  while (!content.empty()) {
    std::string element = CutAtChar(content, ',', false);
    if (!Contains(element, " .. ")) continue;
    auto low = ResolveOperand(list, Trim(SplitAtChar(element, '.', false).near), OperandSide::kLeft);
    if (!low) continue;
    auto high = ResolveOperand(list, Trim(SplitAtChar(element, '.', true).near), OperandSide::kRight);
    if (!high) continue;
    Number n = CountFromTo(low->value, high->value);
    if (count != 0 && n) n = CheckedProduct(count, *n);
    if (!n) return 0;
    count = *n;
  }
  return count;
}

// "[ 0 .. 3 , 0 .. 1 ]" becomes "8", the number of elements of an array of
// several dimensions, and "[ - 1 .. 1 ]" becomes "3".
void EvaluateBracketLists(const LineList& list, std::string& line) {
  Pos open = FindChar(line, '[', 1);
  Pos close = FindChar(line, ']', 1);
  // Ends: a replacement removes a "[" from the line; otherwise the line stays
  // as it is and the next "]" is searched after the current one.
  while (open != 0 && close != 0) {
    std::int64_t count = CountIndexes(list, Slice(line, open + 1, close - 1));
    if (count != 0) {
      std::string text = std::to_string(count);
      Replace(line, open, close - open + 1, text);
      open = FindChar(line, '[', open + Len(text));
      close = FindChar(line, ']', open + 1);
    } else {
      open = FindChar(line, '[', close);
      close = FindChar(line, ']', close + 1);
    }
  }
}

// A range outside brackets is a subrange type (" TDay = 1 .. 31 ; ",
// " x : - 128 .. 127 ; "): it takes the smallest of 1, 2 or 4 bytes that
// holds its values, once both bounds are numbers.
void EvaluateSubranges(const LineList& list, std::string& line) {
  Pos from = 1;
  // Ends: every turn searches after the range of the turn before, or
  // replaces it by a number.
  for (Pos p = FindExact(line, " .. ", from); p != 0; p = FindExact(line, " .. ", from)) {
    from = p + 1;
    const Pos open = FindCharInRange(line, '[', p, 1);
    if (open != 0 && FindCharInRange(line, ']', p, open) == 0) continue;
    // The value runs from its ":" or "=" to its ";".
    const Pos colon = FindCharInRange(line, ':', p, 1);
    const Pos equals = FindCharInRange(line, '=', p, 1);
    const Pos start = std::max(colon, equals);
    const Pos end = FindChar(line, ';', p);
    if (start == 0 || end == 0) continue;
    auto low = ResolveOperand(list, Trim(Slice(line, start + 1, p - 1)), OperandSide::kLeft);
    auto high = ResolveOperand(list, Trim(Slice(line, p + 4, end - 1)), OperandSide::kLeft);
    if (!low || !high || high->value < low->value) continue;
    Replace(line, start + 1, end - start - 1, " " + std::to_string(StorageOf({low->value, high->value}).bytes) + " ");
  }
}

// The parts of a masked line that no operation reaches across: each ends
// with a ";" outside every bracket, and operands and operators hold no ";".
// A line of many members is evaluated part by part, since every replacement
// in the whole line would copy the rest of it. A line whose brackets do not
// pair up stays one part.
std::vector<std::string_view> IndependentParts(std::string_view mask) {
  std::vector<std::string_view> parts;
  long depth = 0;
  size_t start = 0;
  for (size_t i = 0; i < mask.size(); ++i) {
    const char c = mask[i];
    if (c == '(' || c == '[') {
      ++depth;
    } else if (c == ')' || c == ']') {
      if (--depth < 0) return {mask};
    } else if (c == ';' && depth == 0) {
      parts.push_back(mask.substr(start, i + 1 - start));
      start = i + 1;
    }
  }
  if (depth != 0) return {mask};
  if (start < mask.size()) parts.push_back(mask.substr(start));
  return parts;
}

std::string EvaluatePart(const LineList& working, std::string_view part) {
  std::string line = ReplaceParenthesisedOperands(working, part);
  for (const OperatorPass& pass : kArithmetic) Sweep(working, line, pass);
  EvaluateBracketLists(working, line);
  EvaluateSubranges(working, line);
  Sweep(working, line, kRange);
  Sweep(working, line, kArray);
  return line;
}

}  // namespace

bool EvaluateExpressions(LineList& working) {
  bool changed = false;
  for (size_t i = 0; i < working.Count(); ++i) {
    ThrowIfStopRequested();
    const std::string read = working.Get(i);
    // The passes see the line with its string contents masked, so that no
    // operator or bracket inside a string takes part; the contents are put
    // back afterwards.
    const std::string mask = MaskQuotedStrings(read);
    std::string line;
    for (std::string_view part : IndependentParts(mask)) {
      ThrowIfStopRequested();
      line += EvaluatePart(working, part);
    }
    RestoreQuotedStrings(read, line);
    if (line == read) continue;
    working.Put(i, std::move(line));
    changed = true;
  }
  return changed;
}

}  // namespace ct
