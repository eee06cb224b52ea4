#include "pipeline/number_text.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ct {
namespace {

class CapturedFaults : public NumberFaultListener {
 public:
  void OnMalformedNumber(std::string_view value) override { values.emplace_back(value); }
  std::vector<std::string> values;
};

TEST(NormaliseNumberTextTest, Forms) {
  struct Case {
    std::string value;
    bool numeric;
    std::string normalised;
    int prefix;
  } cases[] = {
      {"-12", true, "-12", -1},   {"12", true, "12", -1},     {"- 7", true, "-7", -1},
      {"$10", true, "16", -1},    {"$0400", true, "1024", -1}, {"$1F", false, "$1F", -1},
      {"1_256", true, "256", 1},  {"2x10", false, "2x10", -1}, {"4A40", true, "40", 4},
      {"7-1", false, "7-1", -1},  {"22-1", false, "22-1", -1}, {"1_", false, "1_", -1},
      {"abc", false, "abc", -1},  {"   ", false, "   ", -1},  {"", false, "", -1},
      {"1", true, "1", -1},       {"10A30", false, "10A30", -1},
  };
  for (const auto& c : cases) {
    std::string value = c.value;
    int prefix = 99;
    EXPECT_EQ(NormaliseNumberText(value, prefix), c.numeric) << c.value;
    EXPECT_EQ(value, c.normalised) << c.value;
    EXPECT_EQ(prefix, c.prefix) << c.value;
  }
}

TEST(NormaliseNumberTextTest, AMalformedSizedFormIsReportedAndNotNumeric) {
  CapturedFaults faults;
  ScopedNumberFaultListener scope(&faults);
  for (std::string value : {"x_12", "$F0", "TA12"}) {
    int prefix = 0;
    std::string original = value;
    EXPECT_FALSE(NormaliseNumberText(value, prefix)) << original;
    EXPECT_EQ(value, original);
    EXPECT_EQ(prefix, -1);
  }
  // "$F0" is no sized form at all: a second "$" constant of a line, which
  // stays for the layout to name.
  EXPECT_EQ(faults.values, (std::vector<std::string>{"x_12", "TA12"}));
}

}  // namespace
}  // namespace ct
