// Integer operators of constant expressions, evaluated in place before the
// declarations are read back as types.
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "pipeline/accessors.h"
#include "pipeline/operands.h"
#include "text/scan.h"

namespace ct {

namespace {

enum class Op { kMul, kDiv, kMod, kShr, kShl, kAnd, kOr, kXor, kAdd, kSub };

struct Operator {
  Op op;
  std::string_view text;
  bool word;  // word operators are found ignoring case
};

// The order is the only precedence there is.
constexpr Operator kOperators[] = {
    {Op::kMul, " * ", false}, {Op::kDiv, " div ", true}, {Op::kMod, " mod ", true}, {Op::kShr, " shr ", true},
    {Op::kShl, " shl ", true}, {Op::kAnd, " and ", true}, {Op::kOr, " or ", true},   {Op::kXor, " xor ", true},
    {Op::kAdd, " + ", false}, {Op::kSub, " - ", false},
};

bool Fits32(std::int64_t v) {
  return v >= std::numeric_limits<std::int32_t>::min() && v <= std::numeric_limits<std::int32_t>::max();
}

// The value of `left op right` in the host's 32-bit integers. Operands are
// 32-bit (shr reads its left operand as 64-bit); every intermediate fits 64
// bits. Division by zero, shift counts outside 0-31 and results that leave
// 32 bits have no value: the operation stays as written.
std::optional<std::int64_t> Compute(Op op, std::int64_t left, std::int64_t right) {
  if ((op != Op::kShr && !Fits32(left)) || !Fits32(right)) return std::nullopt;
  std::int64_t result = 0;
  switch (op) {
    case Op::kMul: result = left * right; break;
    case Op::kDiv:
      if (right == 0) return std::nullopt;
      result = left / right;
      break;
    case Op::kMod:
      if (right == 0) return std::nullopt;
      result = left % right;
      break;
    case Op::kShr:
      if (right < 0 || right > 31) return std::nullopt;
      result = static_cast<std::int64_t>(static_cast<std::uint64_t>(left) >> right);
      break;
    case Op::kShl:
      if (right < 0 || right > 31) return std::nullopt;
      result = left * (std::int64_t{1} << right);
      break;
    case Op::kAnd: result = left & right; break;
    case Op::kOr: result = left | right; break;
    case Op::kXor: result = left ^ right; break;
    case Op::kAdd: result = left + right; break;
    case Op::kSub: result = left - right; break;
  }
  if (!Fits32(result)) return std::nullopt;
  return result;
}

// Evaluates every occurrence of one operator whose operands are known,
// left to right. An evaluation replaces an occurrence by a number, which
// holds no space and so creates no new occurrence; a failed one moves the
// search past it. Either way the walk ends.
void EvaluateOperator(const LineList& list, std::string& t, const Operator& op) {
  Pos p = op.word ? FindText(t, op.text, 1) : FindExact(t, op.text, 1);
  while (p != 0) {
    const Pos after = p + Len(op.text);
    Pos i = FindCharInRange(t, ' ', p - 1, 1);
    Pos j = FindChar(t, ' ', after);
    std::optional<std::int64_t> result;
    if (auto left = ResolveOperand(list, Slice(t, i + 1, p - 1), OperandSide::kLeft)) {
      if (auto right = ResolveOperand(list, Slice(t, after, j - 1), OperandSide::kRight))
        result = Compute(op.op, left->value, right->value);
    }
    if (result) {
      // Parentheses around exactly this operation go with it.
      if (At(t, i - 1) == '(' && At(t, j + 1) == ')') {
        i -= 2;
        j += 2;
      }
      Replace(t, i + 1, j - i - 1, std::to_string(*result));
    }
    Pos next = FindText(t, op.text, i + 1);
    if (next == p) next = FindText(t, op.text, p + 1);
    p = next;
  }
}

}  // namespace

void EvaluateOperators(LineList& list) {
  const size_t count = list.Count();
  for (size_t i = 0; i < count; ++i) {
    const std::string line = list.Get(i);
    // "( N ) - 1" holds no operation inside its parentheses, so no operator
    // pass would ever remove them and "-" would never see a number.
    std::string t = ReplaceParenthesisedOperands(list, line);
    for (const Operator& op : kOperators) EvaluateOperator(list, t, op);
    RestoreQuotedStrings(line, t);
    list.Put(i, std::move(t));
  }
}

}  // namespace ct
