#include "pipeline/keyword_list.h"

#include <gtest/gtest.h>

namespace ct {
namespace {

std::vector<std::string> Convert(std::vector<std::string> lines) {
  LineList list(std::move(lines));
  ConvertKeywordList(list);
  return list.Lines();
}

TEST(KeywordListTest, WorkedExample) {
  EXPECT_EQ(Convert({" vt_Integer = 1 ", " TBase = { ", "\tVmt = { 0 , vt_Pointer } , ",
                     "\tFCount = { 4 , vt_Integer } , ", "}", " TBase.__index = BindGet ", "-- note = x"}),
            (std::vector<std::string>{"\t\"vt_Integer\",", " TBase = { ", "\t\"Vmt\",", "\t\"FCount\",", "},",
                                      "--\t\"note\","}));
}

TEST(KeywordListTest, SingleLines) {
  struct Case {
    std::string in, out;
  } cases[] = {
      {"", ""},
      {" TFoo ", "\t\"TFoo\","},
      {"// Section", "--\t\"Section\","},
      {"- = 1", "\t\"-\","},
      {"X.__index=BindGet", "\t\"X.__index\","},
      {"}", "}"},  // before table mode a lone closing brace stays
  };
  for (const auto& c : cases) EXPECT_EQ(Convert({c.in}), std::vector<std::string>{c.out}) << c.in;
}

TEST(KeywordListTest, BothBracesBecomeAnEntryOnlyInTableMode) {
  EXPECT_EQ(Convert({" TEmpty = { } ", " T = { ", " TEmpty = { } ", "}"}),
            (std::vector<std::string>{" TEmpty = { } ", " T = { ", "\t\"TEmpty\",", "},"}));
}

TEST(KeywordListTest, BindingLinesGoEvenWhenAdjacent) {
  EXPECT_EQ(Convert({" A.__index = BindGet ", " A.__newindex = BindSet ", " B "}),
            std::vector<std::string>{"\t\"B\","});
}

}  // namespace
}  // namespace ct
