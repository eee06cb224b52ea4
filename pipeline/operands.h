// Operands of the two expression evaluations: the layout's evaluation pass
// and the operator evaluation that precedes the accessor format.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "text/line_list.h"

namespace ct {

enum class OperandSide { kLeft, kRight };

struct Operand {
  std::int64_t value = 0;
  std::string text;  // the normalised decimal text
  int prefix = -1;   // size prefix of a sized form, array value or structure
};

// A number, a named constant or (right side only) a laid-out structure,
// which stands for its nAddSize with its nMaxSize as prefix. Values that do
// not fit 64 bits do not resolve.
std::optional<Operand> ResolveOperand(const LineList& list, std::string_view text, OperandSide side);

// "( x )" where x alone resolves as a left operand becomes x's value, so that
// a parenthesised constant such as "( N ) - 1" can take part in arithmetic.
// Parentheses around anything else (a list, a parameter, an unknown name)
// stay. Works outside double-quoted strings only.
std::string ReplaceParenthesisedOperands(const LineList& list, std::string_view line);

}  // namespace ct
