#include "pipeline/layout/expressions.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ct::testing {
namespace {

// Lines are written without the space with which the loosened form begins
// and ends them.
std::string Loose(std::string_view shown) { return " " + std::string(shown) + " "; }

struct Row {
  const char* before;
  const char* after;
};

// Evaluates `line` once below the given declarations and returns it.
std::string EvaluateOnce(const std::vector<std::string>& declarations, const std::string& line) {
  LineList list;
  for (const std::string& d : declarations) list.Add(Loose(d));
  list.Add(Loose(line));
  EvaluateExpressions(list);
  std::string result = list.Get(list.Count() - 1);
  return result.substr(1, result.size() - 2);
}

const std::vector<std::string> kConstants = {"N = 10 ;", "ShortString = 1_256 ;"};

TEST(EvaluateExpressions, ReducesOneStepPerPassInPassOrder) {
  const std::vector<Row> rows = {
      {"M = N * 2 ;", "M = 20 ;"},
      {"A = 10 - 2 + 3 ;", "A = 5 ;"},
      {"B = 8 div 2 * 2 ;", "B = 2 ;"},
      {"C = 7 div 2 ;", "C = 3 ;"},
      {"C = -7 div 2 ;", "C = -3 ;"},
      {"C = 7 DIV 2 ;", "C = 3 ;"},
      {"D = ( 2 + 3 ) * 4 ;", "D = 5 * 4 ;"},
      {"D = 5 * 4 ;", "D = 20 ;"},
      {"E = 2 * 3 * 4 ;", "E = 6 * 4 ;"},
      {"E = 6 * 4 ;", "E = 24 ;"},
      {"F = 2 * 5 * 4 ;", "F = 40 ;"},
      {"G = Maxint div 16 ;", "G = Maxint div 16 ;"},
      {"H = N ;", "H = N ;"},
      {"x : [ 0 .. 9 ] of 4 ;", "x : 4A40 ;"},
      {"x : [ 0 .. N - 1 ] of 4 ;", "x : 4A40 ;"},
      {"x : [ 0 .. 3 , 0 .. 1 ] of 2 ;", "x : 2A16 ;"},
      {"x : [ 0 .. 9 , 0 .. Z ] of 2 ;", "x : 2A20 ;"},
      {"x : [ 1 .. 2 , 1 .. 3 , 0 .. 1 ] of 1 ;", "x : 1A12 ;"},
      {"x : [ 0 .. 9 ] of ShortString ;", "x : 1A2560 ;"},
      {"x : [ 0 .. Z ] of 4 ;", "x : [ 0 .. Z ] of 4 ;"},
      {"x : [ 0 .. Z , 0 .. Y ] of 4 ;", "x : [ 0 .. Z , 0 .. Y ] of 4 ;"},
      {"x : [ - 1 .. 1 ] of 1 ;", "x : 1A3 ;"},
      // A range outside brackets is a subrange type: the storage of its values.
      {"x : 0 .. 65535 ;", "x : 2 ;"},
      {"x : - 128 .. 127 ;", "x : 1 ;"},
      {"x : - 1 .. 1000 ;", "x : 2 ;"},
      {"x : 0 .. 70000 ;", "x : 4 ;"},
      {"TDay = 1 .. N - 1 ;", "TDay = 1 ;"},
      {"x : 0 .. Z ;", "x : 0 .. Z ;"},
      {"x : [ 0 .. 3 ] ; y : [ 0 .. 1 , 0 .. 1 ] of 2 ; z : [ 1 .. 2 ] of 4 ;", "x : 4 ; y : 2A8 ; z : 4A8 ;"},
      {"x : ] [ 0 .. 1 , 0 .. 1 ] ;", "x : ] 4 ;"},
      {"setmetatable ( TItem , TObject ) ;", "setmetatable ( TItem , TObject ) ;"},
  };
  for (const Row& row : rows) EXPECT_EQ(EvaluateOnce(kConstants, row.before), row.after) << row.before;
}

TEST(EvaluateExpressions, LeavesOperationsWithoutA64BitValue) {
  const std::vector<Row> rows = {
      {"A = 7 div 0 ;", "A = 7 div 0 ;"},
      {"A = ( N div 0 ) ;", "A = ( N div 0 ) ;"},
      {"A = -9223372036854775808 div -1 ;", "A = -9223372036854775808 div -1 ;"},
      {"A = 9223372036854775807 + 1 ;", "A = 9223372036854775807 + 1 ;"},
      {"A = -9223372036854775807 - 2 ;", "A = -9223372036854775807 - 2 ;"},
      {"A = 4294967296 * 4294967296 ;", "A = 4294967296 * 4294967296 ;"},
      {"A = 9223372036854775807 - 1 ;", "A = 9223372036854775806 ;"},
      {"x : [ -9223372036854775808 .. 9223372036854775807 ] of 1 ;",
       "x : [ -9223372036854775808 .. 9223372036854775807 ] of 1 ;"},
      // The list is not multiplied out; its ranges are counted one by one.
      {"x : [ 0 .. 4294967295 , 0 .. 4294967295 ] of 1 ;", "x : [ 4294967296 , 4294967296 ] of 1 ;"},
      {"x : 4294967296 of 4294967296 ;", "x : 4294967296 of 4294967296 ;"},
  };
  for (const Row& row : rows) EXPECT_EQ(EvaluateOnce(kConstants, row.before), row.after) << row.before;
}

TEST(EvaluateExpressions, ParenthesisedValuesAreJustTheirValues) {
  const std::vector<Row> rows = {
      {"Name : [ 0 .. ( 32 ) - 1 ] of 1 ;", "Name : 1A32 ;"},
      {"Name : [ 0 .. ( N ) - 1 ] of 1 ;", "Name : 1A10 ;"},
      {"A = ( N ) * ( 2 ) ;", "A = 20 ;"},
      {"A = ( Z ) * 2 ;", "A = ( Z ) * 2 ;"},
      {"A = ( 2 , 3 ) ;", "A = ( 2 , 3 ) ;"},
  };
  for (const Row& row : rows) EXPECT_EQ(EvaluateOnce(kConstants, row.before), row.after) << row.before;
}

TEST(EvaluateExpressions, ArraysOfWideElementsGetTheirPlainSize) {
  const std::vector<Row> rows = {
      {"x : [ 0 .. 2 ] of 10 ;", "x : 30 ;"},
      {"x : [ 0 .. 2 ] of N ;", "x : 30 ;"},
      {"x : [ 0 .. 1 , 0 .. 1 ] of 123 ;", "x : 492 ;"},
      {"x : [ 0 .. 2 ] of 9 ;", "x : 9A27 ;"},
  };
  for (const Row& row : rows) EXPECT_EQ(EvaluateOnce(kConstants, row.before), row.after) << row.before;
}

TEST(EvaluateExpressions, RightOperandMayNameALaidOutStructure) {
  const std::vector<std::string> laid_out = {
      "TLate = { nWholeSize : 4 ; nAddSize : 4 ; nMaxSize : 2 ; x : 0 ; y : 2 ; } ;"};
  const std::vector<std::string> not_laid_out = {"TLate = { x : 2 ; y : 2 ; } ;"};
  EXPECT_EQ(EvaluateOnce(laid_out, "a : 3 of TLate ;"), "a : 2A12 ;");
  EXPECT_EQ(EvaluateOnce(not_laid_out, "a : 3 of TLate ;"), "a : 3 of TLate ;");
  EXPECT_EQ(EvaluateOnce(laid_out, "a : TLate * 3 ;"), "a : TLate * 3 ;");
}

TEST(EvaluateExpressions, LaterLinesSeeValuesComputedEarlierInThePass) {
  LineList list({" A = 2 * 3 ; ", " B = A * 2 ; ", " C = D * 2 ; ", " D = 4 * 2 ; "});
  EXPECT_TRUE(EvaluateExpressions(list));
  EXPECT_EQ(list.Lines(), (std::vector<std::string>{" A = 6 ; ", " B = 12 ; ", " C = D * 2 ; ", " D = 8 ; "}));
  EXPECT_TRUE(EvaluateExpressions(list));
  EXPECT_EQ(list.Get(2), " C = 16 ; ");
  EXPECT_FALSE(EvaluateExpressions(list));
}

TEST(EvaluateExpressions, NeverChangesTextInsideQuotes) {
  const std::vector<Row> rows = {
      {"S = \"2 * 3\" ;", "S = \"2 * 3\" ;"},
      {"S = \" 2 * 3 \" ;", "S = \" 2 * 3 \" ;"},
      {"S = \" 2 * 3 \" ; T = 2 * 3 ;", "S = \" 2 * 3 \" ; T = 6 ;"},
      {"S = \"[\" + \" , 0 .. 3 ]\" ;", "S = \"[\" + \" , 0 .. 3 ]\" ;"},
      {"S = [ \"a\" , 0 .. 1 , 0 .. 2 ] + \"b\" ;", "S = [ \"a\" , 2 , 3 ] + \"b\" ;"},
      {"S = \"[ 0 .. 1 , 0 .. 1\" + ( 2 * 3 ) + \"]\" ;", "S = \"[ 0 .. 1 , 0 .. 1\" + 6 + \"]\" ;"},
  };
  for (const Row& row : rows) EXPECT_EQ(EvaluateOnce({}, row.before), row.after) << row.before;
}

}  // namespace
}  // namespace ct::testing
