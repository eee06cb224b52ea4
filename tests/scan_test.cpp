#include "text/scan.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ct {
namespace {

TEST(FindCharTest, PositionsAreOneBasedAndZeroMeansAbsent) {
  struct Case {
    std::string text;
    char c;
    Pos start;
    Pos expected;
  } cases[] = {
      {"", 'a', 1, 0},       {"abc", 'a', 1, 1},  {"abc", 'c', 1, 3},   {"abc", 'a', 2, 0},
      {"abc", 'c', 4, 0},    {"abc", 'c', 3, 3},  {"abc", 'a', 0, 0},   {"abc", 'a', -5, 0},
      {"a;b;c", ';', 3, 4},  {"abc", 'z', 1, 0},
  };
  for (const auto& c : cases) EXPECT_EQ(FindChar(c.text, c.c, c.start), c.expected) << c.text << " " << c.start;
}

TEST(FindCharInRangeTest, WalksForwardsOrBackwardsAndNeverLeavesTheText) {
  struct Case {
    std::string text;
    Pos from, to, expected;
  } cases[] = {
      {"a.b.c", 1, 5, 2},   // forwards: the first "."
      {"a.b.c", 5, 1, 4},   // backwards: the last "."
      {"a.b.c", 3, 3, 0},   // a single position
      {"a.b.c", 0, 5, 0},   // bounds below 1 are "not found"
      {"a.b.c", 5, 0, 0},
      {"a.b.c", 99, 1, 4},  // beyond the end: only positions inside are examined
      {"a.b.c", 3, 99, 4},
      {"", 1, 1, 0},
  };
  for (const auto& c : cases)
    EXPECT_EQ(FindCharInRange(c.text, '.', c.from, c.to), c.expected) << c.text << " " << c.from << ".." << c.to;
}

TEST(FindTextTest, IgnoresAsciiCaseOnly) {
  EXPECT_EQ(FindText("a Class b", " class ", 1), 2);
  EXPECT_EQ(FindText("a Class b", " class ", 3), 0);
  EXPECT_EQ(FindText("abc", "", 1), 0);
  EXPECT_EQ(FindText("abc", "c", 4), 0);
  EXPECT_EQ(FindText("abc", "a", 0), 0);
  // Bytes outside A-Z compare exactly: GBK bytes and accented bytes do not fold.
  EXPECT_EQ(FindText("\xC4\xE3", "\xE4\xE3", 1), 0);
  EXPECT_EQ(FindText("xx\xC4\xE3", "\xC4\xE3", 1), 3);
}

TEST(CountTextTest, CountsOverlappingOccurrences) {
  EXPECT_EQ(CountText("; a ; b ;", ";"), 3);
  EXPECT_EQ(CountText("aaa", "aa"), 2);
  EXPECT_EQ(CountText("AaA", "a"), 3);
  EXPECT_EQ(CountText("", "a"), 0);
}

TEST(SplitAtCharTest, NearAndFarParts) {
  struct Case {
    std::string text;
    bool from_end;
    std::string near, far;
  } cases[] = {
      {"a=b=c", false, "a", "b=c"},
      {"a=b=c", true, "c", "a=b"},
      {"abc", false, "abc", ""},
      {"abc", true, "abc", ""},
      {"=", false, "", ""},
      {"", true, "", ""},
  };
  for (const auto& c : cases) {
    Split s = SplitAtChar(c.text, '=', c.from_end);
    EXPECT_EQ(s.near, c.near) << c.text;
    EXPECT_EQ(s.far, c.far) << c.text;
  }
}

TEST(SplitAtCharTest, TheRemainderAfterTheCharacterIsCut) {
  std::string text = "x=" + std::string(40000, 'y');
  EXPECT_EQ(SplitAtChar(text, '=', false).far.size(), 32767u);
  std::string tail = std::string(40000, 'y') + "=z";
  EXPECT_EQ(SplitAtChar(tail, '=', true).far.size(), 40000u);  // the part before stays whole
}

TEST(CutAtCharTest, ReturnsTheNearPartAndKeepsTheFar) {
  std::string text = "a.b.c";
  EXPECT_EQ(CutAtChar(text, '.', true), "c");
  EXPECT_EQ(text, "a.b");
  text = "a.b.c";
  EXPECT_EQ(CutAtChar(text, '.', false), "a");
  EXPECT_EQ(text, "b.c");
  text = "abc";
  EXPECT_EQ(CutAtChar(text, '.', false), "abc");
  EXPECT_EQ(text, "");
}

TEST(GetValidTokenTest, SkipsLeadingDividersAndConsumesOne) {
  struct Case {
    std::string text, token, rest;
  } cases[] = {
      {" Name = Value ;", " Name ", " Value ;"},
      {"  X = 1 ;", "  X ", " 1 ;"},
      {"==a", "a", ""},
      {"abc", "abc", ""},
      {"a==b", "a", "=b"},
      {"", "", ""},
      {"===", "", ""},
  };
  for (const auto& c : cases) {
    Token t = GetValidToken(c.text, "=");
    EXPECT_EQ(t.token, c.token) << c.text;
    EXPECT_EQ(t.rest, c.rest) << c.text;
  }
}

TEST(GetValidTokenTest, TextsAtTheLengthLimitGiveNothing) {
  std::string at_limit = "a=" + std::string(20477, 'b');
  ASSERT_EQ(at_limit.size(), 20479u);
  Token t = GetValidToken(at_limit, "=");
  EXPECT_EQ(t.token, "");
  EXPECT_EQ(t.rest, "");
  Token below = GetValidToken(at_limit.substr(1), "=");
  EXPECT_EQ(below.token, std::string(20477, 'b'));
}

TEST(IsIntegerTextTest, OptionalMinusThenDigits) {
  struct Case {
    std::string text;
    bool expected;
  } cases[] = {{"", false},   {"-", true},   {"-0", true},  {"1 ", false}, {" 5", false},
               {"+5", false}, {"123", true}, {"-12", true}, {"1-2", false}, {"--1", false}};
  for (const auto& c : cases) EXPECT_EQ(IsIntegerText(c.text), c.expected) << "'" << c.text << "'";
}

TEST(HexToInt64Test, EveryByteTakesAPlace) {
  EXPECT_EQ(HexToInt64("$1F"), 31);
  EXPECT_EQ(HexToInt64("ff"), 255);
  EXPECT_EQ(HexToInt64("1G"), 16);  // a non-digit counts as 0
  EXPECT_EQ(HexToInt64("FFFFFFFFFFFFFFFF"), -1);
  EXPECT_EQ(HexToInt64("8000000000000000"), INT64_MIN);
  EXPECT_EQ(HexToInt64(""), 0);
  // Only the 16 rightmost digits carry weight.
  EXPECT_EQ(HexToInt64("10000000000000001"), 1);
}

TEST(ReplaceCharTest, ReplacesEveryByte) { EXPECT_EQ(ReplaceChar("a:b:", ':', '='), "a=b="); }

TEST(IsInsideQuotesTest, CountsQuotesBeforeThePosition) {
  EXPECT_TRUE(IsInsideQuotes("x \"a // b\"", 1, 6));
  EXPECT_FALSE(IsInsideQuotes("x \"a\" // b", 1, 7));
  EXPECT_FALSE(IsInsideQuotes("\"", 1, 1));   // first > pos - 1
  EXPECT_FALSE(IsInsideQuotes("abc", 1, 99));  // beyond the end counts nothing
}

TEST(QuotedStringsTest, EmptyAndRestoreRoundTrip) {
  struct Case {
    std::string text, emptied;
  } cases[] = {
      {"no quotes", "no quotes"},
      {"one \" quote", "one \" quote"},
      {"a \"ab\" b \"c\" d", "a \"\" b \"\" d"},
      {"\"\"\"x\"", "\"\"\"\""},
      {"tail \"open", "tail \"open"},
  };
  for (const auto& c : cases) {
    std::string s = c.text;
    EmptyQuotedStrings(s);
    EXPECT_EQ(s, c.emptied) << c.text;
    RestoreQuotedStrings(c.text, s);
    EXPECT_EQ(s, c.text) << c.text;
  }
}

TEST(QuotedStringsTest, RestorePutsContentsBackIntoARewrittenLine) {
  std::string target = " X = { \"\" ; \"\" } ";
  RestoreQuotedStrings("x=\"a;b\" , \"c{\"", target);
  EXPECT_EQ(target, " X = { \"a;b\" ; \"c{\" } ");
}

TEST(QuotedStringsTest, RestoreKeepsTheTargetWhenItHasFewerPairs) {
  std::string target = " A = 1 ; \"\" ";
  RestoreQuotedStrings(" \"x\" \"y\" ", target);
  EXPECT_EQ(target, " A = 1 ; \"x\" ");
  std::string none = " B = 2 ; ";
  RestoreQuotedStrings(" \"x\" ", none);
  EXPECT_EQ(none, " B = 2 ; ");
}

TEST(QuotedStringsTest, MaskKeepsPositions) {
  std::string text = " S = \"{ ; }\" ; T : 1 ; ";
  std::string mask = MaskQuotedStrings(text);
  ASSERT_EQ(mask.size(), text.size());
  EXPECT_EQ(FindChar(mask, '{', 1), 0);
  EXPECT_EQ(FindChar(mask, ';', 1), FindChar(text, ';', 12));
  EXPECT_EQ(MaskQuotedStrings("open \"x"), "open \"x");
}

TEST(OutsideQuotesTest, TokenSplitPassesOverQuotedDividers) {
  struct Case {
    const char* text;
    const char* token;
    const char* rest;
  };
  // The last case: an unpaired quote opens no string.
  const Case cases[] = {{"a;b", "a", "b"},     {"\"x;y\";z", "\"x;y\"", "z"}, {";;a;b;c", "a", "b;c"},
                        {"abc", "abc", ""},    {"", "", ""},               {";;;", "", ""},
                        {"\"a;b", "\"a", "b"}};
  for (const Case& c : cases) {
    Token t = GetTokenOutsideQuotes(c.text, ';');
    EXPECT_EQ(t.token, c.token) << c.text;
    EXPECT_EQ(t.rest, c.rest) << c.text;
  }
}

TEST(OutsideQuotesTest, ReplacementLeavesStringsAlone) {
  EXPECT_EQ(ReplaceAllTextOutsideQuotes("a:b \"c:d\" e:f", ":", "="), "a=b \"c:d\" e=f");
  EXPECT_EQ(ReplaceAllTextOutsideQuotes("X aB \"ab\" Ab", "AB", "c"), "X c \"ab\" c");
  EXPECT_EQ(ReplaceAllTextOutsideQuotes("\"ab", "ab", "c"), "\"c");
}

TEST(ParseIntTest, RejectsWhatDoesNotFit) {
  EXPECT_EQ(ParseInt32("2147483647"), 2147483647);
  EXPECT_EQ(ParseInt32("-2147483648"), INT32_MIN);
  EXPECT_FALSE(ParseInt32("4294967295"));
  EXPECT_FALSE(ParseInt32("-"));
  EXPECT_EQ(ParseInt64("-9223372036854775808"), INT64_MIN);
  EXPECT_FALSE(ParseInt64("9223372036854775808"));
  EXPECT_FALSE(ParseInt64("99999999999999999999999"));
  EXPECT_FALSE(ParseInt64("1a"));
}

TEST(EditingHelpersTest, ClampInsteadOfLeavingTheText) {
  EXPECT_EQ(Copy("abc", 0, 2), "a");
  EXPECT_EQ(Copy("abc", 3, 99), "c");
  EXPECT_EQ(Copy("abc", 4, 1), "");
  EXPECT_EQ(Slice("abc", -3, 99), "abc");
  EXPECT_EQ(Slice("abc", 3, 2), "");
  std::string s = "abc";
  Erase(s, 0, 5);
  EXPECT_EQ(s, "abc");
  Erase(s, 2, 99);
  EXPECT_EQ(s, "a");
  InsertAt(s, "x", 99);
  EXPECT_EQ(s, "ax");
  InsertAt(s, "y", -1);
  EXPECT_EQ(s, "yax");
  EXPECT_EQ(At("abc", 0), '\0');
  EXPECT_EQ(At("abc", 4), '\0');
}

TEST(ReplaceAllTest, DoesNotRescanReplacedText) {
  EXPECT_EQ(ReplaceAll("aaa", "a", "aa"), "aaaaaa");
  EXPECT_EQ(ReplaceAllText(" Array of ARRAY ", " array ", " array "), " array of array ");
  EXPECT_EQ(ReplaceAllText(" ARRAY  x", "array", "array"), " array  x");
  EXPECT_EQ(ReplaceFirstText("a X x", "x", "y"), "a y x");
  EXPECT_EQ(CollapseSpaces("  a   b "), " a b ");
}

TEST(TrimTest, RemovesControlBytesAndSpacesOnly) {
  EXPECT_EQ(Trim("\t a b \r\n"), "a b");
  EXPECT_EQ(Trim("\xA1\xA1"), "\xA1\xA1");  // a GBK full-width space is not trimmed
}

}  // namespace
}  // namespace ct
