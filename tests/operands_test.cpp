#include "pipeline/operands.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ct::testing {
namespace {

// A constant, a sized constant, a laid-out structure, and a definition with
// an empty name that no empty word may ever match.
LineList Declarations() {
  return LineList({
      " N = 10 ; ",
      " ShortString = 1_256 ; ",
      " TLate = { nWholeSize : 8 ; nAddSize : 5 ; nMaxSize : 2 ; x : 0 ; y : 2 ; } ; ",
      " = 7 ; ",
  });
}

struct ResolveCase {
  const char* text;
  OperandSide side;
  bool resolves;
  std::int64_t value;
  int prefix;
};

TEST(ResolveOperand, ReadsNumbersConstantsAndRightHandStructures) {
  const std::vector<ResolveCase> cases = {
      {"12", OperandSide::kLeft, true, 12, -1},
      {"-3", OperandSide::kLeft, true, -3, -1},
      {"$10", OperandSide::kLeft, true, 16, -1},
      {"1_256", OperandSide::kLeft, true, 256, 1},
      {"4A40", OperandSide::kRight, true, 40, 4},
      {"N", OperandSide::kLeft, true, 10, -1},
      {"n", OperandSide::kLeft, true, 10, -1},
      {"ShortString", OperandSide::kRight, true, 256, 1},
      {"TLate", OperandSide::kRight, true, 8, 2},
      {"TLate", OperandSide::kLeft, false, 0, 0},
      {"Z", OperandSide::kRight, false, 0, 0},
      {")", OperandSide::kLeft, false, 0, 0},
      {"", OperandSide::kRight, false, 0, 0},
      {"-", OperandSide::kLeft, false, 0, 0},
      {"\"5\"", OperandSide::kLeft, false, 0, 0},
      {"99999999999999999999", OperandSide::kLeft, false, 0, 0},
  };
  const LineList list = Declarations();
  for (const ResolveCase& c : cases) {
    SCOPED_TRACE(c.text);
    auto operand = ResolveOperand(list, c.text, c.side);
    ASSERT_EQ(operand.has_value(), c.resolves);
    if (!operand) continue;
    EXPECT_EQ(operand->value, c.value);
    EXPECT_EQ(operand->prefix, c.prefix);
  }
}

TEST(ResolveMemberValue, TakesAStructuresWholeSize) {
  auto operand = ResolveMemberValue(Declarations(), "TLate");
  ASSERT_TRUE(operand);
  EXPECT_EQ(operand->value, 8);
  EXPECT_EQ(operand->prefix, 2);
  EXPECT_FALSE(ResolveMemberValue(Declarations(), ""));
}

TEST(ReplaceParenthesisedOperands, UnwrapsSingleResolvableWordsOnly) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {" x : [ 0 .. ( 32 ) - 1 ] of 1 ; ", " x : [ 0 .. 32 - 1 ] of 1 ; "},
      {" A = ( N ) * 2 ; ", " A = 10 * 2 ; "},
      {" A = ( ( N ) ) ; ", " A = 10 ; "},
      {" A = ( 2 + 3 ) ; ", " A = ( 2 + 3 ) ; "},
      {" A = ( Z ) ; ", " A = ( Z ) ; "},
      {" A = ( TLate ) ; ", " A = ( TLate ) ; "},
      {" S = \" ( 5 ) \" ; ", " S = \" ( 5 ) \" ; "},
      {" A = ( 5 ", " A = ( 5 "},
      {" A = ( ( ( 1 ) ) ) + ( ( 2 ) ) ; ", " A = 1 + 2 ; "},
      {" A = ( Z ( ( N ) ) ) ; ", " A = ( Z 10 ) ; "},
      {" A = ( ( N ) ( 2 ) ) ; ", " A = ( 10 2 ) ; "},
      {" A = ( ( Z ) ( ( 3 ) ) ) ; ", " A = ( ( Z ) 3 ) ; "},
      // Low and High take a type, not its size.
      {" W : Low ( N ) .. HIGH ( N ) ; ", " W : Low ( N ) .. HIGH ( N ) ; "},
  };
  const LineList list = Declarations();
  for (const auto& [before, after] : cases) EXPECT_EQ(ReplaceParenthesisedOperands(list, before), after) << before;
}

std::optional<std::string> Product(const Operand& left, const Operand& right) {
  return std::to_string(left.value * right.value);
}

std::optional<std::string> Refused(const Operand&, const Operand&) { return std::nullopt; }

TEST(SweepOperator, ReplacesResolvedOccurrencesAndTheirMarks) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {" A = 2 * 3 ; ", " A = 6 ; "},
      {" A = ( 2 * 3 ) ; ", " A = 6 ; "},
      {" A = ( 2 * 3 ; ", " A = ( 6 ; "},
      {" A = [ 2 * 3 ] ; ", " A = [ 6 ] ; "},
      {" A = Z * 3 * 4 ; ", " A = Z * 12 ; "},
      {" A = N * TLate ; ", " A = 80 ; "},
      {" A = TLate * N ; ", " A = TLate * N ; "},
      // The next occurrence starts where the replaced one stood: passed over.
      {" A = 2 * 3 * 4 ; ", " A = 6 * 4 ; "},
      {"* 3", "* 3"},
      {" * 3 ", " * 3 "},
      {" A = 2 * ", " A = 2 * "},
  };
  const LineList list = Declarations();
  for (const auto& [before, after] : cases) {
    std::string line = before;
    SweepOperator(list, line, {" * ", '(', ')'}, Product);
    EXPECT_EQ(line, after) << before;
  }
}

TEST(SweepOperator, LeavesOperationsThatCannotBeComputed) {
  std::string line = " A = ( 2 * 3 ) ; ";
  SweepOperator(Declarations(), line, {" * ", '(', ')'}, Refused);
  EXPECT_EQ(line, " A = ( 2 * 3 ) ; ");
}

}  // namespace
}  // namespace ct::testing
