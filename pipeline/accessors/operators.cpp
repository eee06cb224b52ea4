// Integer operators of constant expressions, evaluated in place before the
// declarations are read back as types.
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <string_view>

#include "pipeline/accessors/accessors.h"
#include "pipeline/operands.h"
#include "text/scan.h"

namespace ct {

namespace {

enum class Op { kMul, kDiv, kMod, kShr, kShl, kAnd, kOr, kXor, kAdd, kSub };

struct Operator {
  Op op;
  std::string_view text;
};

// The order is the only precedence there is. Word operators match in any case.
constexpr Operator kOperators[] = {
    {Op::kMul, " * "},   {Op::kDiv, " div "}, {Op::kMod, " mod "}, {Op::kShr, " shr "}, {Op::kShl, " shl "},
    {Op::kAnd, " and "}, {Op::kOr, " or "},   {Op::kXor, " xor "}, {Op::kAdd, " + "},   {Op::kSub, " - "},
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

}  // namespace

void EvaluateOperators(LineList& list) {
  const size_t count = list.Count();
  for (size_t i = 0; i < count; ++i) {
    const std::string line = list.Get(i);
    // "( N ) - 1" holds no operation inside its parentheses, so no operator
    // pass would ever remove them and "-" would never see a number.
    std::string t = ReplaceParenthesisedOperands(list, line);
    for (const Operator& op : kOperators) {
      SweepOperator(list, t, {op.text, '(', ')'},
                    [&](const Operand& left, const Operand& right) -> std::optional<std::string> {
                      auto value = Compute(op.op, left.value, right.value);
                      if (!value) return std::nullopt;
                      return std::to_string(*value);
                    });
    }
    RestoreQuotedStrings(line, t);
    list.Put(i, std::move(t));
  }
}

}  // namespace ct
