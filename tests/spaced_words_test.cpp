#include "text/spaced_words.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ct {
namespace {

std::vector<std::string> Words(std::string_view text) {
  std::vector<std::string> words;
  ForEachSpacedWord(text, [&](size_t start, size_t length) { words.emplace_back(text.substr(start, length)); });
  return words;
}

TEST(SpacedWordsTest, OnlyWordsWithASpaceOnEitherSide) {
  struct Case {
    std::string text;
    std::vector<std::string> words;
  } cases[] = {
      {" a = 1 ; ", {"a", "=", "1", ";"}},
      {"a b c", {"b"}},
      {"  x  \ty ", {"x", "\ty"}},
      {"", {}},
      {"   ", {}},
      {" one", {}},
      {"one ", {}},
  };
  for (const Case& c : cases) EXPECT_EQ(Words(c.text), c.words) << c.text;
}

TEST(SpacedWordsTest, AWordWithinAPatternIsOneEveryMatchHolds) {
  struct Case {
    std::string pattern, word;
  } cases[] = {
      {" N ", "N"}, {" : TA ", ":"}, {" a b ", "a"}, {"TA ", ""}, {" TA", ""}, {" \"n ", "\"n"}, {"  ", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(SpacedWordWithin(c.pattern), c.word) << c.pattern;
}

TEST(SpacedWordIndexTest, GivesTheLinesOfChosenWordsOnceInOrder) {
  SpacedWordIndex index({"ta", "n"});
  index.Note(" x : TA ; y : ta ; ", 4);
  index.Note(" TA = 1 ; ", 1);
  index.Note(" z : Tb ; ", 2);
  index.Note(" TA = 2 ; ", 4);  // a line noted again after a change
  EXPECT_EQ(index.LinesWith("tA"), (std::vector<size_t>{1, 4}));
  EXPECT_EQ(index.LinesWith("N"), std::vector<size_t>{});
  // A word not chosen has no answer: its lines were not noted.
  EXPECT_FALSE(index.LinesWith("Tb").has_value());
}

}  // namespace
}  // namespace ct
