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
