#include "text/gbk.h"

#include <gtest/gtest.h>

namespace ct {
namespace {

TEST(GbkTest, RoundTripsChineseText) {
  std::string gbk = Gbk("确认信息");
  EXPECT_EQ(gbk, "\xC8\xB7\xC8\xCF\xD0\xC5\xCF\xA2");
  EXPECT_EQ(GbkToUtf8(gbk), "确认信息");
  EXPECT_EQ(GbkToUtf8("plain ascii"), "plain ascii");
}

TEST(GbkTest, DisplayNeverFailsOnInvalidBytes) {
  // A lone lead byte and an invalid pair each become a replacement character.
  EXPECT_EQ(GbkToUtf8("a\x81"), "a\xEF\xBF\xBD");
  EXPECT_EQ(GbkToUtf8(std::string("x\xFF" "y", 3)), "x\xEF\xBF\xBDy");
}

TEST(GbkTest, StrictConversionNamesTheFirstUnrepresentableCharacter) {
  size_t offset = 99;
  EXPECT_FALSE(Utf8ToGbk("ab\xF0\x9F\x98\x80", &offset));  // an emoji has no GBK code
  EXPECT_EQ(offset, 2u);
  EXPECT_FALSE(Utf8ToGbk("a\xC3", &offset));  // truncated UTF-8
  EXPECT_EQ(*Utf8ToGbk("中文"), "\xD6\xD0\xCE\xC4");
}

// A path in a message survives the way to the terminal: into GBK for the
// front end, back to UTF-8 for the terminal.
TEST(GbkTest, LossyConversionKeepsWhatGbkHoldsAndMarksTheRest) {
  EXPECT_EQ(GbkToUtf8(Utf8ToGbkLossy("/tmp/目录/ClassTable.txt")), "/tmp/目录/ClassTable.txt");
  EXPECT_EQ(Utf8ToGbkLossy("a\xF0\x9F\x98\x80" "b"), "a?b");
  EXPECT_EQ(Utf8ToGbkLossy("a\xFF" "b\xC3"), "a?b?");
  EXPECT_EQ(Utf8ToGbkLossy("\xE4\xB8x"), "?x");
  EXPECT_EQ(Utf8ToGbkLossy(""), "");
}

TEST(GbkTest, NamesUtf16AndUtf32WithOrWithoutAByteOrderMark) {
  using namespace std::string_literals;
  const struct {
    std::string bytes;
    std::string_view encoding;
  } cases[] = {
      {"\xFF\xFE" "c\0o\0"s, "UTF-16 LE"},
      {"\xFE\xFF\0c\0o"s, "UTF-16 BE"},
      {"\xFF\xFE\0\0c\0\0\0"s, "UTF-32 LE"},
      {"\0\0\xFE\xFF\0\0\0c"s, "UTF-32 BE"},
      {"c\0o\0n\0s\0t\0\r\0\n\0"s, "UTF-16 LE"},
      {"\0c\0o\0n\0s\0t"s, "UTF-16 BE"},
      {"c\0\0\0o\0\0\0n\0\0\0"s, "UTF-32 LE"},
      {"\0\0\0c\0\0\0o\0\0\0n"s, "UTF-32 BE"},
      {"const X = 1;\r\n", ""},
      {"\xB3\xA3\xC1\xBF X = 1;", ""},
      {"type T\0X = record a: Byte; end;"s, ""},
      {std::string(64, '\0'), ""},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(WideUnicodeEncoding(c.bytes), c.encoding) << c.bytes;
}

// Long texts are converted in pieces on some systems: a bad character is
// found wherever it stands, and a character is never split between pieces.
TEST(GbkTest, LongTextsConvertWholeAndNameTheirFirstBadCharacter) {
  const std::string chinese_utf8 = [] {
    std::string text;
    for (int i = 0; i < 20000; ++i) text += "中";
    return text;
  }();
  const std::string chinese_gbk = *Utf8ToGbk(chinese_utf8);
  EXPECT_EQ(chinese_gbk.size(), 40000u);
  EXPECT_EQ(GbkToUtf8(chinese_gbk), chinese_utf8);
  EXPECT_EQ(GbkToUtf8(chinese_gbk + "\xFF" "a" + chinese_gbk), chinese_utf8 + "\xEF\xBF\xBD" "a" + chinese_utf8);
  EXPECT_EQ(GbkToUtf8(chinese_gbk + "\x81"), chinese_utf8 + "\xEF\xBF\xBD");
  for (size_t ascii : {16383u, 16384u, 16385u, 32767u}) {
    const std::string text = std::string(ascii, 'a') + "中文" + std::string(ascii, 'b');
    ASSERT_TRUE(Utf8ToGbk(text)) << ascii;
    EXPECT_EQ(GbkToUtf8(*Utf8ToGbk(text)), text) << ascii;
  }
  size_t offset = 0;
  EXPECT_FALSE(Utf8ToGbk(chinese_utf8 + "\xF0\x9F\x98\x80" + chinese_utf8, &offset));
  EXPECT_EQ(offset, chinese_utf8.size());
  EXPECT_FALSE(Utf8ToGbk(chinese_utf8 + "\xE4\xB8", &offset));
  EXPECT_EQ(offset, chinese_utf8.size());
  // Code page 936's one single-byte addition to GBK, the euro sign.
  EXPECT_EQ(GbkToUtf8("\x80"), "€");
  EXPECT_EQ(Utf8ToGbk("€"), "\x80");
}

TEST(GbkTest, TellsUtf8TextFromGbkText) {
  struct Case {
    std::string bytes;
    bool utf8;
  } cases[] = {
      {"中文 = 1;", true},                // UTF-8 Chinese
      {"\xD6\xD0\xCE\xC4 = 1;", false},  // the same in GBK
      {"plain ascii", false},             // nothing beyond ASCII to tell by
      {"\xC0\xAF", false},                // an overlong "/"
      {"\xED\xA0\x80", false},            // a surrogate
      {"\xF4\x90\x80\x80", false},        // past Unicode
      {"ok \xE4\xB8", false},             // cut off at the end
      {"\xF0\x9F\x98\x80", true},         // four bytes
  };
  for (const Case& c : cases) EXPECT_EQ(IsUtf8BeyondAscii(c.bytes), c.utf8) << c.bytes;
}

}  // namespace
}  // namespace ct
