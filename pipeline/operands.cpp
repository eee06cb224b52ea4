#include "pipeline/operands.h"

#include "text/lookups.h"
#include "text/scan.h"

namespace ct {

std::optional<Operand> ResolveOperand(const LineList& list, std::string_view text, OperandSide side) {
  Operand operand;
  operand.text = std::string(text);
  bool resolved = NormalizeNumberText(operand.text, operand.prefix);
  if (!resolved) {
    operand.text = std::string(text);
    resolved = FindNumericValue(list, operand.text, operand.prefix);
  }
  if (!resolved && side == OperandSide::kRight) {
    operand.text = std::string(text);
    resolved = GetAddAndMaxSize(list, operand.text, operand.prefix);
  }
  if (!resolved) return std::nullopt;
  auto value = ParseInt64(operand.text);
  if (!value) return std::nullopt;
  operand.value = *value;
  return operand;
}

std::string ReplaceParenthesisedOperands(const LineList& list, std::string_view line) {
  std::string result(line);
  Pos from = 1;
  // A failed candidate moves `from` on; a replacement shortens the line and
  // starts again from the front so that nested parentheses unwrap too.
  while (true) {
    std::string mask = MaskQuotedStrings(result);
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
    Replace(result, open + 1, space - open + 1, std::to_string(operand->value));
    from = 1;
  }
  return result;
}

}  // namespace ct
