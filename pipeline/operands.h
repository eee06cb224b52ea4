// Operands of the two expression evaluations: the layout's evaluation pass
// and the operator evaluation that precedes the accessor format.
#pragma once

#include <cstdint>
#include <functional>
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

// A number, a named constant or (right side only) a laid-out structure or
// an alias of one, which stands for its whole size with its nMaxSize as
// prefix: an array steps by its element's whole size, padding included. Values that do
// not fit 64 bits do not resolve, and neither does an empty word.
std::optional<Operand> ResolveOperand(const LineList& list, std::string_view text, OperandSide side);

// A structure member's value: a number, a named constant or a laid-out
// structure (or an alias of one), which stands for its nWholeSize with its
// nMaxSize as prefix.
std::optional<Operand> ResolveMemberValue(const LineList& list, std::string_view text);

// "( x )" where x alone resolves as a left operand becomes x's value, so that
// a parenthesised constant such as "( N ) - 1" can take part in arithmetic.
// Parentheses around anything else (a list, a parameter, an unknown name)
// stay. Works outside double-quoted strings only.
std::string ReplaceParenthesisedOperands(const LineList& list, std::string_view line);

// One operator (with its surrounding spaces, as " * ") applied along a line
// in the loosened form: each occurrence whose neighbouring words resolve is
// replaced, operands and operator, by what `compute` makes of them; when the
// operation stands directly between `open` and `close`, the marks go too.
// `compute` returns nullopt for an operation that cannot be computed, which
// then stays as written. Occurrences are found anywhere in `line`: callers
// that must not touch string contents pass a MaskQuotedStrings copy.
struct OperatorSweep {
  std::string_view op;
  char open;
  char close;
};
using ComputeOperation = std::function<std::optional<std::string>(const Operand& left, const Operand& right)>;
void SweepOperator(const LineList& list, std::string& line, const OperatorSweep& sweep,
                   const ComputeOperation& compute);

}  // namespace ct
