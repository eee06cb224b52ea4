#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "pipeline/layout/layout.h"

namespace ct::testing {
namespace {

LineList Lines(std::vector<std::string> lines) { return LineList(std::move(lines)); }

TEST(SizeFields, OnlyLinesWithAWholeSizeLoseTheirFields) {
  LineList working = Lines({
      " TEmpty = { nWholeSize : 0 ; } ; ",
      " TOdd = { nAddSize : 3 ; nMaxSize : 1 ; x : 0 ; } ; ",
      " Maxint = 32767 ; ",
      " TFwd = { nWholeSize : 4 ; nAddSize : 1 ; nMaxSize : 1 ;} ; ",
  });
  RemoveSizeFields(working);
  EXPECT_EQ(working.Get(0), " TEmpty = { } ; ");
  EXPECT_EQ(working.Get(1), " TOdd = { nAddSize : 3 ; nMaxSize : 1 ; x : 0 ; } ; ");
  EXPECT_EQ(working.Get(2), " Maxint = 32767 ; ");
  EXPECT_EQ(working.Get(3), " TFwd = {} ; ");
}

// String literals are text: what they hold never reads as a size field.
TEST(SizeFields, StringLiteralsAreNeverStructure) {
  const std::string size_note = " SNote = \"the nWholeSize ; of a record\" ; ";
  LineList working = Lines({size_note});
  RemoveSizeFields(working);
  EXPECT_EQ(working.Get(0), size_note);
}

// Whatever the lines hold, the walk ends and stays inside its strings (the
// sanitizer build checks the latter).
TEST(SizeFields, AnyInputEnds) {
  static const char* const kPieces[] = {" ", ":", ";", "=", "{", "}", "(", ")", ",", "\"", "-", "8",
                                        "4294967296", " TA ", " TB ", " setmetatable ", " nWholeSize ",
                                        " nAddSize ", " nMaxSize "};
  std::mt19937 random(7);
  std::uniform_int_distribution<size_t> piece(0, std::size(kPieces) - 1);
  for (int round = 0; round < 300; ++round) {
    std::vector<std::string> lines;
    for (int k = static_cast<int>(random() % 8); k > 0; --k) {
      std::string line;
      for (int n = static_cast<int>(random() % 20); n > 0; --n) line += kPieces[piece(random)];
      lines.push_back(line);
    }
    LineList working(lines);
    RemoveSizeFields(working);
  }
  SUCCEED();
}

}  // namespace
}  // namespace ct::testing
