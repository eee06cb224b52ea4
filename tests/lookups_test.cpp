#include "pipeline/lookups.h"

#include <gtest/gtest.h>

namespace ct {
namespace {

LineList List(std::vector<std::string> lines) { return LineList(std::move(lines)); }

TEST(ParseDefinitionTest, NameBodyAndValue) {
  Definition def;
  ASSERT_TRUE(ParseDefinition(" Integer = 4 ; ", def));
  EXPECT_EQ(def.name, "Integer");
  EXPECT_EQ(def.body, " 4 ; ");
  EXPECT_EQ(def.value, "4");
  EXPECT_FALSE(ParseDefinition(" setmetatable ( A , B ) ; ", def));
}

TEST(FindIntegerConstantTest, FirstPlainIntegerOfThatNameIgnoringCase) {
  LineList list = List({" N = M ; ", " n = 7 ; ", " N = 9 ; ", " Big = 4294967295 ; ", " Dash = - ; "});
  std::int32_t value = 0;
  EXPECT_TRUE(FindIntegerConstant(list, "N", value));
  EXPECT_EQ(value, 7);
  value = 5;
  // Values that pass the integer test but do not fit, or a lone minus, are not numbers.
  EXPECT_FALSE(FindIntegerConstant(list, "Big", value));
  EXPECT_FALSE(FindIntegerConstant(list, "Dash", value));
  EXPECT_FALSE(FindIntegerConstant(list, "Missing", value));
  EXPECT_EQ(value, 5);
}

TEST(FindNumericValueTest, NormalisesTheValueAndReturnsThePrefix) {
  LineList list = List({" ShortString = 1_256 ; ", " Hex = $10 ; ", " Neg = - 3 ; ", " Word = 2 ; "});
  struct Case {
    std::string name, value;
    int prefix;
  } cases[] = {{"shortstring", "256", 1}, {"Hex", "16", -1}, {"Neg", "-3", -1}, {"WORD", "2", -1}};
  for (const auto& c : cases) {
    std::string name = c.name;
    int prefix = 0;
    ASSERT_TRUE(FindNumericValue(list, name, prefix)) << c.name;
    EXPECT_EQ(name, c.value);
    EXPECT_EQ(prefix, c.prefix);
  }
  std::string missing = "Nope";
  int prefix = 0;
  EXPECT_FALSE(FindNumericValue(list, missing, prefix));
  EXPECT_EQ(missing, "Nope");
}

TEST(FindTypeAliasTest, SkipsNumbersTablesMembersAndInheritance) {
  LineList list = List({
      " PString = 4 ; ",
      " PString = { a : 1 ; } ; ",
      " PString = x : y ; ",
      " PString = PAnsiString ; ",
      " PString = Later ; ",
  });
  std::string name = "PString";
  ASSERT_TRUE(FindTypeAlias(list, name));
  EXPECT_EQ(name, "PAnsiString");
  std::string numeric_only = "Only";
  LineList numbers = List({" Only = 4 ; "});
  EXPECT_FALSE(FindTypeAlias(numbers, numeric_only));
  EXPECT_EQ(numeric_only, "Only");
}

TEST(FindFieldValueTest, PassesOverLinesWhoseValueIsNotNumeric) {
  LineList list = List({
      " TR = { nWholeSize : x ; } ; ",
      " TR = { nWholeSize : 8 ; nAddSize : 5 ; nMaxSize : 4 ; a : 0 ; } ; ",
  });
  std::string name = "TR";
  ASSERT_TRUE(FindFieldValue(list, name, " nWholeSize "));
  EXPECT_EQ(name, "8");
  name = "TR";
  ASSERT_TRUE(FindFieldValue(list, name, " NADDSIZE "));
  EXPECT_EQ(name, "5");
  name = "TR";
  EXPECT_FALSE(FindFieldValue(list, name, " nOther "));
  EXPECT_EQ(name, "TR");
}

TEST(SizeLookupsTest, WholeSizeTogetherWithTheMaximum) {
  LineList list = List({" TR = { nWholeSize : 8 ; nAddSize : 5 ; nMaxSize : 4 ; a : 0 ; } ; ",
                        " TW = { nWholeSize : 12 ; a : 0 ; } ; "});
  std::string name = "TR";
  int max_size = 0;
  ASSERT_TRUE(GetWholeAndMaxSize(list, name, max_size));
  EXPECT_EQ(name, "8");
  EXPECT_EQ(max_size, 4);
  // A whole size without a maximum: false, yet the name already holds the size.
  name = "TW";
  EXPECT_FALSE(GetWholeAndMaxSize(list, name, max_size));
  EXPECT_EQ(name, "12");
  EXPECT_EQ(max_size, -1);
}

TEST(SizeLookupsTest, AnAliasOfAStructureIsThatStructure) {
  LineList list = List({" TB = TA ; ", " TC = TB ; ", " TA = { nWholeSize : 8 ; nAddSize : 6 ; nMaxSize : 2 ; a : 0 ; } ; ",
                        " TX = TY ; ", " TY = TX ; ", " TN = 4 ; "});
  for (std::string name : {"TA", "tb", "TC"}) {
    const std::string asked = name;
    int max_size = 0;
    ASSERT_TRUE(GetStructureSizes(list, name, max_size)) << asked;
    EXPECT_EQ(name, "8");
    EXPECT_EQ(max_size, 2);
  }
  // A cycle of aliases, a number and a name declared nowhere stand for no structure.
  for (std::string name : {"TX", "TN", "TZ"}) {
    const std::string asked = name;
    int max_size = 0;
    EXPECT_FALSE(GetStructureSizes(list, name, max_size)) << asked;
    EXPECT_EQ(name, asked);
  }
}

TEST(FindRoutineTypeTest, OnlyRoutineTypesDeclaredWithParametersOrAResult) {
  LineList list = List({
      " TNotify = x : y ; ",
      " TNotify = procedure ( Sender : TObject ) of object ; ",
      " TCompare = FUNCTION ( A , B : Pointer ) : Integer ; ",
      " TCount = function : Integer ; ",
      " TPlain = procedure ; ",
      " TRec = { a : procedure ; } ; ",
      " TProcedureKind = ( pkA , pkB ) ; ",
  });
  struct Case {
    std::string name, found;
  } found[] = {{"tnotify", "procedure"}, {"TCompare", "function"}, {"TCount", "function"}};
  for (const auto& c : found) {
    std::string name = c.name;
    ASSERT_TRUE(FindRoutineType(list, name)) << c.name;
    EXPECT_EQ(name, c.found);
  }
  // Without a colon a routine type is an alias of its keyword's text.
  for (std::string name : {"TPlain", "TRec", "TProcedureKind", "Missing"}) {
    const std::string asked = name;
    EXPECT_FALSE(FindRoutineType(list, name)) << asked;
    EXPECT_EQ(name, asked);
  }
}

}  // namespace
}  // namespace ct
