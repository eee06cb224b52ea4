#include "pipeline/operands.h"

#include "text/lookups.h"
#include "text/scan.h"

namespace ct {

namespace {

using StructureLookup = bool (*)(const LineList&, std::string&, int&);

// Numbers first, then constants, then (when asked) laid-out structures: the
// first that accepts the word gives its value and size prefix.
std::optional<Operand> Resolve(const LineList& list, std::string_view text, StructureLookup structure) {
  // An empty word would match a definition line with an empty name, and a
  // word holding a quote is string text; neither is ever a number.
  if (text.empty() || text.find('"') != std::string_view::npos) return std::nullopt;
  Operand operand;
  operand.text = std::string(text);
  bool resolved = NormalizeNumberText(operand.text, operand.prefix);
  if (!resolved) {
    operand.text = std::string(text);
    resolved = FindNumericValue(list, operand.text, operand.prefix);
  }
  if (!resolved && structure != nullptr) {
    operand.text = std::string(text);
    resolved = structure(list, operand.text, operand.prefix);
  }
  if (!resolved) return std::nullopt;
  auto value = ParseInt64(operand.text);
  if (!value) return std::nullopt;
  operand.value = *value;
  return operand;
}

}  // namespace

std::optional<Operand> ResolveOperand(const LineList& list, std::string_view text, OperandSide side) {
  return Resolve(list, text, side == OperandSide::kRight ? GetAddAndMaxSize : nullptr);
}

std::optional<Operand> ResolveMemberValue(const LineList& list, std::string_view text) {
  return Resolve(list, text, GetWholeAndMaxSize);
}

std::string ReplaceParenthesisedOperands(const LineList& list, std::string_view line) {
  std::string result(line);
  // The replaced text holds no quote, so one mask edited alongside the line
  // stays its mask.
  std::string mask = MaskQuotedStrings(result);
  Pos from = 1;
  // Ends: a failed candidate moves `from` on, and a replacement removes one
  // "(" (the value holds none). A replacement can only complete the pair
  // that directly encloses it, so the walk steps back to that one instead
  // of starting again from the front: nested parentheses unwrap in a time
  // that grows with their number, not with its cube.
  while (true) {
    Pos open = FindExact(mask, " ( ", from);
    if (open == 0) break;
    Pos inner = open + 3;
    Pos space = FindChar(mask, ' ', inner);
    if (space == 0) break;
    from = open + 1;
    if (space == inner || Copy(mask, space, 3) != " ) ") continue;
    std::string token = Slice(result, inner, space - 1);
    auto operand = ResolveOperand(list, token, OperandSide::kLeft);
    if (!operand) continue;
    // Keep the spaces on both sides: " ( x ) " becomes " value ".
    const std::string value = std::to_string(operand->value);
    Replace(result, open + 1, space - open + 1, value);
    Replace(mask, open + 1, space - open + 1, value);
    if (open > 2 && Copy(mask, open - 2, 3) == " ( ") from = open - 2;
  }
  return result;
}

void SweepOperator(const LineList& list, std::string& line, const OperatorSweep& sweep,
                   const ComputeOperation& compute) {
  const Pos width = Len(sweep.op);
  Pos p = FindText(line, sweep.op, 1);
  // Ends: every step moves p to a later start within the part of the line
  // that no replacement has touched, so the text from p on keeps shrinking.
  while (p != 0) {
    Pos l = FindCharInRange(line, ' ', p - 1, 1);
    Pos r = FindChar(line, ' ', p + width);
    std::optional<std::string> result;
    if (auto left = ResolveOperand(list, Slice(line, l + 1, p - 1), OperandSide::kLeft)) {
      std::string right_text = r == 0 ? std::string() : Slice(line, p + width, r - 1);
      if (auto right = ResolveOperand(list, right_text, OperandSide::kRight)) result = compute(*left, *right);
    }
    if (!result) {
      p = FindText(line, sweep.op, p + 1);
      continue;
    }
    Pos from = l + 1;
    Pos to = r - 1;
    if (At(line, l - 1) == sweep.open && At(line, r + 1) == sweep.close) {
      from = l - 1;
      to = r + 1;
    }
    Replace(line, from, to - from + 1, *result);
    // The walk resumes at the start of the result, a single word in which no
    // occurrence can start; one that now starts exactly where the replaced
    // occurrence stood is passed over.
    Pos next = FindText(line, sweep.op, from + Len(*result));
    if (next == p) next = FindText(line, sweep.op, p + 1);
    p = next;
  }
}

}  // namespace ct
