#include "pipeline/operands.h"

#include "pipeline/lookups.h"
#include "pipeline/number_text.h"
#include "pipeline/stop_request.h"
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
  bool resolved = NormaliseNumberText(operand.text, operand.prefix);
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

// Whether the word that ends just before `end` (0-based, a space) is Low or
// High, whose bracket holds a type: " Low ( Word ) " is the type's first
// value, not the size of a Word in brackets.
bool NamesABound(const std::string& text, size_t end) {
  const size_t space = end == 0 ? std::string::npos : text.rfind(' ', end - 1);
  const size_t first = space == std::string::npos ? 0 : space + 1;
  const std::string_view word = std::string_view(text).substr(first, end - first);
  return SameText(word, "Low") || SameText(word, "High");
}

}  // namespace

std::optional<Operand> ResolveOperand(const LineList& list, std::string_view text, OperandSide side) {
  return Resolve(list, text, side == OperandSide::kRight ? GetStructureSizes : nullptr);
}

std::optional<Operand> ResolveMemberValue(const LineList& list, std::string_view text) {
  return Resolve(list, text, GetStructureSizes);
}

std::string ReplaceParenthesisedOperands(const LineList& list, std::string_view line) {
  // The line is copied byte by byte; whenever the copy ends in " ( x ) ",
  // x is tried at once. A replacement can only complete the pair that
  // directly encloses it, whose ") " is still to come, so one pass unwraps
  // nested parentheses, and it edits only the end of the copy: the time
  // grows with the length of the line, however deep the nesting.
  const std::string mask = MaskQuotedStrings(line);
  std::string result, result_mask;
  result.reserve(line.size());
  result_mask.reserve(line.size());
  for (size_t i = 0; i < line.size(); ++i) {
    result.push_back(line[i]);
    result_mask.push_back(mask[i]);
    const size_t n = result_mask.size();
    if (n < 7 || result_mask.compare(n - 3, 3, " ) ") != 0) continue;
    const size_t space = result_mask.rfind(' ', n - 4);  // the space before x
    if (space == std::string::npos || space + 1 == n - 3 || space < 2 ||
        result_mask.compare(space - 2, 3, " ( ") != 0 || NamesABound(result_mask, space - 2))
      continue;
    auto operand = ResolveOperand(list, result.substr(space + 1, n - 4 - space), OperandSide::kLeft);
    if (!operand) continue;
    // Keep the spaces on both sides: " ( x ) " becomes " value ".
    const std::string value = std::to_string(operand->value) + " ";
    result.replace(space - 1, std::string::npos, value);
    result_mask.replace(space - 1, std::string::npos, value);
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
    ThrowIfStopRequested();
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
