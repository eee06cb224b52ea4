// The evaluation pass knows no precedence: each operator is swept along the
// whole line in a fixed order, so "*" binds before "div", "div" before "+",
// and "+" before "-". What a sweep cannot resolve yet (a constant defined
// further down, a structure not laid out yet) is left for the next layout
// cycle, which runs the pass again.
#include "pipeline/expressions.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

#include "pipeline/operands.h"
#include "text/scan.h"

namespace ct {

namespace {

using Result = std::optional<std::string>;

Result Product(const Operand& left, const Operand& right) { return std::to_string(left.value * right.value); }

Result Quotient(const Operand& left, const Operand& right) { return std::to_string(left.value / right.value); }

Result Sum(const Operand& left, const Operand& right) { return std::to_string(left.value + right.value); }

Result Difference(const Operand& left, const Operand& right) { return std::to_string(left.value - right.value); }

// The number of indexes from left to right, both included.
Result RangeLength(const Operand& left, const Operand& right) {
  return std::to_string(right.value - left.value + 1);
}

// "count of element" becomes the array value: the element's size prefix (or
// the element size itself), "A", and the total size, which the layout reads
// like a sized form.
Result ArrayValue(const Operand& count, const Operand& element) {
  std::string unit = element.prefix != -1 ? std::to_string(element.prefix) : element.text;
  return unit + "A" + std::to_string(count.value * element.value);
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

// The product of the dimensions of a bracket list of several ranges, or 0
// when the list holds no single range (a lone range is left to the range
// sweep). A range whose bounds do not resolve yet is passed over.
std::int64_t CountIndexes(const LineList& list, std::string content) {
  if (!Contains(content, " , ")) return 0;
  std::int64_t count = 0;
  // Ends: every cut takes at least the element and its comma off the front.
  while (!content.empty()) {
    std::string element = CutAtChar(content, ',', false);
    if (!Contains(element, " .. ")) continue;
    auto low = ResolveOperand(list, Trim(SplitAtChar(element, '.', false).near), OperandSide::kLeft);
    if (!low) continue;
    auto high = ResolveOperand(list, Trim(SplitAtChar(element, '.', true).near), OperandSide::kRight);
    if (!high) continue;
    std::int64_t n = high->value - low->value + 1;
    count = count == 0 ? n : count * n;
  }
  return count;
}

// "[ 0 .. 3 , 0 .. 1 ]" becomes "8", the number of elements of an array of
// several dimensions.
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

}  // namespace

bool EvaluateExpressions(LineList& working) {
  bool changed = false;
  for (size_t i = 0; i < working.Count(); ++i) {
    const std::string read = working.Get(i);
    std::string line = read;
    for (const OperatorPass& pass : kArithmetic) Sweep(working, line, pass);
    EvaluateBracketLists(working, line);
    Sweep(working, line, kRange);
    Sweep(working, line, kArray);
    RestoreQuotedStrings(read, line);
    if (line == read) continue;
    working.Put(i, std::move(line));
    changed = true;
  }
  return changed;
}

}  // namespace ct
