// Paths typed by a person reach the file system intact, and come back in
// messages as they were typed.
#include "text/paths.h"

#include <gtest/gtest.h>

namespace ct {
namespace {

TEST(PathsTest, PathsTravelAsUtf8AndShowOneKindOfSeparator) {
  constexpr bool kWindows = std::filesystem::path::preferred_separator == '\\';
  const struct {
    std::string folder;
    std::string shown;  // of the folder joined with "ClassTable.txt"
    std::string shown_on_windows;
  } cases[] = {
      {"D:/游戏/声明", "D:/游戏/声明/ClassTable.txt", "D:/游戏/声明/ClassTable.txt"},
      {"D:\\游戏\\声明", "D:\\游戏\\声明/ClassTable.txt", "D:\\游戏\\声明\\ClassTable.txt"},
      {"目录", "目录/ClassTable.txt", "目录\\ClassTable.txt"},
      {".", "./ClassTable.txt", ".\\ClassTable.txt"},
      {"/tmp/a b/", "/tmp/a b/ClassTable.txt", "/tmp/a b/ClassTable.txt"},
  };
  for (const auto& c : cases) {
    const std::filesystem::path folder = PathFromUtf8(c.folder);
    EXPECT_EQ(PathText(folder), c.folder);
    EXPECT_EQ(PathText(folder / "ClassTable.txt"), kWindows ? c.shown_on_windows : c.shown) << c.folder;
  }
  if (kWindows) {
    EXPECT_EQ(PathFromUtf8("游戏").wstring(), L"游戏");
  } else {
    // Any bytes are a path there, GBK ones too.
    EXPECT_EQ(PathFromUtf8("\xD3\xCE\xCF\xB7").string(), "\xD3\xCE\xCF\xB7");
  }
}

}  // namespace
}  // namespace ct
