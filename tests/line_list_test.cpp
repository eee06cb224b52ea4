#include "text/files.h"
#include "text/line_list.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "tests/support/run_folder.h"

namespace ct {
namespace {

using testing::TempFolder;

TEST(LineListTest, SplitsAtEveryKindOfLineBreak) {
  struct Case {
    std::string text;
    std::vector<std::string> lines;
  } cases[] = {
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\nb", {"a", "b"}},
      {"a\rb\r", {"a", "b"}},
      {"a\r\n\r\nb", {"a", "", "b"}},
      {"\n", {""}},
      {"", {}},
      {"a\n\rb", {"a", "", "b"}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitLines(c.text), c.lines) << c.text;
}

TEST(LineListTest, TextEndsEveryLineWithCrLf) {
  LineList list({"a", "", "b"});
  EXPECT_EQ(list.Text(), "a\r\n\r\nb\r\n");
  EXPECT_EQ(LineList().Text(), "");
}

TEST(LineListTest, InsertAndDeleteOutsideTheListAreHarmless) {
  LineList list({"a"});
  list.Insert(99, "b");
  list.Delete(99);
  EXPECT_EQ(list.Lines(), (std::vector<std::string>{"a", "b"}));
}

// A line keeps the number it had in the loaded text through every rewrite,
// and lines moved by an insertion or a deletion take theirs with them.
TEST(LineListTest, LinesKeepTheirOriginThroughEdits) {
  LineList list;
  list.SetText("a\r\nb\r\nc");
  list.Put(1, "B");
  list.Delete(0);
  list.Insert(1, "made");
  list.Add("c2", 3);
  LineList copy = list;
  EXPECT_EQ(copy.Lines(), (std::vector<std::string>{"B", "made", "c", "c2"}));
  EXPECT_EQ((std::vector<LineOrigin>{copy.Origin(0), copy.Origin(1), copy.Origin(2), copy.Origin(3), copy.Origin(9)}),
            (std::vector<LineOrigin>{2, kNoOrigin, 3, 3, kNoOrigin}));
}

TEST(FileTest, SaveReplacesTheFileAndLoadReadsItBack) {
  TempFolder folder;
  folder.Write("x.lua", "old contents that are longer\r\n");
  std::string error;
  ASSERT_TRUE(SaveLines(LineList({"one", "two"}), folder.path() / "x.lua", error)) << error;
  EXPECT_EQ(folder.Read("x.lua"), "one\r\ntwo\r\n");
  LineList back;
  ASSERT_TRUE(LoadLines(back, folder.path() / "x.lua", error));
  EXPECT_EQ(back.Lines(), (std::vector<std::string>{"one", "two"}));
  // Nothing but the file itself is left in the folder.
  size_t entries = 0;
  for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(folder.path())) ++entries;
  EXPECT_EQ(entries, 1u);
}

TEST(FileTest, AFailedSaveKeepsTheOldFileAndLeavesNoTemporary) {
  TempFolder folder;
  folder.Write("locked.lua", "keep me\r\n");
  std::filesystem::permissions(folder.path() / "locked.lua", std::filesystem::perms::owner_read |
                                                             std::filesystem::perms::group_read |
                                                             std::filesystem::perms::others_read);
  std::string error;
  EXPECT_FALSE(SaveLines(LineList({"new"}), folder.path() / "locked.lua", error));
  EXPECT_NE(error.find("locked.lua"), std::string::npos);
  EXPECT_EQ(folder.Read("locked.lua"), "keep me\r\n");

  std::filesystem::create_directory(folder.path() / "dir.lua");
  EXPECT_FALSE(SaveLines(LineList({"new"}), folder.path() / "dir.lua", error));
  size_t entries = 0;
  for ([[maybe_unused]] auto& e : std::filesystem::directory_iterator(folder.path())) ++entries;
  EXPECT_EQ(entries, 2u);
}

TEST(FileTest, LoadRefusesWhatIsNoRegularFileAtOnce) {
  TempFolder folder;
  std::filesystem::create_directory(folder.path() / "dir.txt");
  std::vector<std::filesystem::path> others = {folder.path() / "dir.txt"};
#ifdef _WIN32
  // Windows keeps no named pipe among files; its devices are names like NUL.
  others.push_back("NUL");
#else
  ASSERT_EQ(::mkfifo((folder.path() / "pipe.txt").c_str(), 0644), 0);
  others.push_back(folder.path() / "pipe.txt");
  others.push_back("/dev/zero");
#endif
  for (const std::filesystem::path& path : others) {
    LineList list({"untouched"});
    std::string error;
    EXPECT_FALSE(LoadLines(list, path, error)) << path;
    EXPECT_NE(error.find(path.filename().string()), std::string::npos) << error;
    EXPECT_EQ(list.Lines(), (std::vector<std::string>{"untouched"}));
  }
}

TEST(FileTest, LoadReportsAMissingFile) {
  TempFolder folder;
  LineList list({"untouched"});
  std::string error;
  EXPECT_FALSE(LoadLines(list, folder.path() / "absent.txt", error));
  EXPECT_NE(error.find("absent.txt"), std::string::npos);
  EXPECT_EQ(list.Lines(), (std::vector<std::string>{"untouched"}));
}

}  // namespace
}  // namespace ct
