// What a save leaves on disk besides the bytes, what a read refuses, and
// the lock that keeps runs apart.
#include "text/files.h"

#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#endif
#include <unistd.h>

#include <string>
#include <vector>

#include "tests/support/refusing_path.h"
#include "tests/support/run_folder.h"

namespace ct::testing {
namespace {

namespace fs = std::filesystem;

// What a save or a copy keeps of a file's permissions: all of them on POSIX
// systems; on Windows, which has no more, whether it may be written.
fs::perms KeptOf(fs::perms perms) {
#ifdef _WIN32
  return perms & fs::perms::owner_write;
#else
  return perms & fs::perms::all;
#endif
}

fs::perms KeptOf(const fs::path& path) { return KeptOf(fs::status(path).permissions()); }

size_t Entries(const fs::path& folder) {
  size_t entries = 0;
  for ([[maybe_unused]] auto& e : fs::directory_iterator(folder)) ++entries;
  return entries;
}

TEST(WriteFileAtomically, WritesThroughALinkAndKeepsModeAndOwner) {
#ifdef _WIN32
  GTEST_SKIP() << "a symbolic link on Windows needs a privilege an ordinary user lacks, and files have no "
                  "owner and mode bits to keep (the read-only attribute: KeepCopyOf's test)";
#else
  TempFolder folder;
  fs::create_directory(folder.path() / "elsewhere");
  folder.Write("elsewhere/target.lua", "old\r\n");
  fs::permissions(folder.path() / "elsewhere/target.lua", static_cast<fs::perms>(0640));
  fs::create_symlink("elsewhere/target.lua", folder.path() / "ClassType.lua");
  const bool root = RunningAsRoot();
  if (root) {
    ASSERT_EQ(::chown((folder.path() / "elsewhere/target.lua").c_str(), 65534, 65534), 0);
  }
  std::string error;
  ASSERT_TRUE(WriteFileAtomically(folder.path() / "ClassType.lua", "new\r\n", error)) << error;
  EXPECT_TRUE(fs::is_symlink(folder.path() / "ClassType.lua"));
  EXPECT_EQ(folder.Read("elsewhere/target.lua"), "new\r\n");
  EXPECT_EQ(KeptOf(folder.path() / "elsewhere/target.lua"), static_cast<fs::perms>(0640));
  struct stat info {};
  ::stat((folder.path() / "elsewhere/target.lua").c_str(), &info);
  if (root) {
    EXPECT_EQ(info.st_uid, 65534u);
  }
  EXPECT_EQ(Entries(folder.path() / "elsewhere"), 1u);

  // A link to nothing gets its file; links that never end get nothing.
  fs::create_symlink("elsewhere/new.lua", folder.path() / "dangling.lua");
  ASSERT_TRUE(WriteFileAtomically(folder.path() / "dangling.lua", "made\r\n", error)) << error;
  EXPECT_EQ(folder.Read("elsewhere/new.lua"), "made\r\n");
  fs::create_symlink("loop-b.lua", folder.path() / "loop-a.lua");
  fs::create_symlink("loop-a.lua", folder.path() / "loop-b.lua");
  EXPECT_FALSE(WriteFileAtomically(folder.path() / "loop-a.lua", "x", error));
  EXPECT_NE(error.find("loop-a.lua"), std::string::npos) << error;
#endif
}

TEST(ReadFileBytes, RefusesAFileOverTheLimitUnreadAndNamesWhatIsNoFile) {
  TempFolder folder;
  folder.Write("input.txt", std::string(100, 'x'));
  std::string bytes = "untouched", error;
  EXPECT_FALSE(ReadFileBytes(folder.path() / "input.txt", bytes, error, 99));
  EXPECT_NE(error.find("more than 99 bytes"), std::string::npos) << error;
  EXPECT_EQ(bytes, "untouched");
  ASSERT_TRUE(ReadFileBytes(folder.path() / "input.txt", bytes, error, 100)) << error;
  EXPECT_EQ(bytes, std::string(100, 'x'));

  fs::create_directory(folder.path() / "dir.txt");
  std::vector<std::pair<fs::path, const char*>> others = {{folder.path() / "dir.txt", "a folder"}};
#ifdef _WIN32
  // Windows keeps no named pipe among files; its devices are names like NUL.
  others.push_back({"NUL", "a character device"});
#else
  ASSERT_EQ(::mkfifo((folder.path() / "pipe.txt").c_str(), 0644), 0);
  others.push_back({folder.path() / "pipe.txt", "a named pipe"});
  others.push_back({"/dev/null", "a character device"});
#endif
  for (const auto& [path, kind] : others) {
    EXPECT_FALSE(ReadFileBytes(path, bytes, error));
    EXPECT_NE(error.find(kind), std::string::npos) << error;
    EXPECT_EQ(error.find("Invalid argument"), std::string::npos) << error;
  }
}

TEST(RemoveLeftoverTemporaries, RemovesOnlyWhatSavesOfTheNamedFilesLeft) {
  TempFolder folder;
  for (const char* name : {"ClassType.lua.tmp-Ab3xZ9", "ClassTable_B.lua.tmp-000000", "ClassType.lua.tmp-Ab3xZ",
                           "ClassType.lua.tmp-Ab3xZ9!", "Notes.txt.tmp-Ab3xZ9", "ClassType.lua", "XClassType.lua.tmp-Ab3xZ9"})
    folder.Write(name, "x");
  fs::create_directory(folder.path() / "ClassTable_C.lua.tmp-abcdef");
  RemoveLeftoverTemporaries(folder.path(), {"ClassType.lua", "ClassTable_B.lua", "ClassTable_C.lua"});
  EXPECT_FALSE(folder.Has("ClassType.lua.tmp-Ab3xZ9"));
  EXPECT_FALSE(folder.Has("ClassTable_B.lua.tmp-000000"));
  for (const char* kept : {"ClassType.lua.tmp-Ab3xZ", "ClassType.lua.tmp-Ab3xZ9!", "Notes.txt.tmp-Ab3xZ9",
                           "ClassType.lua", "XClassType.lua.tmp-Ab3xZ9", "ClassTable_C.lua.tmp-abcdef"})
    EXPECT_TRUE(folder.Has(kept)) << kept;
}

TEST(KeepCopyOf, CopiesAFileAsPrivateAsItAndNothingElse) {
  TempFolder folder;
  std::string error;
  EXPECT_TRUE(KeepCopyOf(folder.path() / "absent.lua", folder.path() / "absent.lua.bak", error));
  EXPECT_FALSE(folder.Has("absent.lua.bak"));
  // A private file and a read-only one: on Windows the read-only attribute
  // is what there is to keep.
  for (const auto& [name, mode] : {std::pair{"private.lua", fs::perms::owner_read | fs::perms::owner_write},
                                   std::pair{"read-only.lua", fs::perms::owner_read | fs::perms::group_read |
                                                                  fs::perms::others_read}}) {
    folder.Write(name, "last good\r\n");
    fs::permissions(folder.path() / name, mode);
    const fs::path copy = folder.path() / (std::string(name) + ".bak");
    ASSERT_TRUE(KeepCopyOf(folder.path() / name, copy, error)) << error;
    EXPECT_EQ(folder.Read(std::string(name) + ".bak"), "last good\r\n");
    EXPECT_EQ(KeptOf(copy), KeptOf(mode)) << name;
    // Windows removes no read-only file, nor the folder that holds one.
    for (const fs::path& made : {folder.path() / name, copy})
      fs::permissions(made, fs::perms::owner_write, fs::perm_options::add);
  }
}

TEST(KindOfPath, TellsFilesFromEverythingElse) {
  TempFolder folder;
  folder.Write("file.txt", "x");
  fs::create_directory(folder.path() / "dir");
  std::vector<std::pair<fs::path, PathKind>> cases = {{folder.path() / "file.txt", PathKind::kFile},
                                                      {folder.path() / "dir", PathKind::kOther},
                                                      {folder.path() / "absent", PathKind::kNothing},
#ifdef _WIN32
                                                      {"NUL", PathKind::kOther},
#else
                                                      {"/dev/null", PathKind::kOther},
#endif
  };
  // Windows lets only some users make links.
  std::error_code no_links;
  fs::create_symlink("file.txt", folder.path() / "link", no_links);
  if (!no_links) fs::create_symlink("absent", folder.path() / "broken", no_links);
  if (!no_links) {
    cases.push_back({folder.path() / "link", PathKind::kFile});
    cases.push_back({folder.path() / "broken", PathKind::kBrokenLink});
  }
  for (const auto& [path, kind] : cases) EXPECT_EQ(KindOfPath(path), kind) << path;
}

TEST(FileLock, KeepsASecondTakerOutAndNamesTheHolder) {
  TempFolder folder;
  const fs::path path = folder.path() / "ClassTable.lock";
  long holder = 0;
  std::string error;
  auto first = FileLock::Take(path, std::chrono::milliseconds(0), holder, error);
  ASSERT_TRUE(first) << error;
  EXPECT_EQ(folder.Read("ClassTable.lock"), std::to_string(::getpid()) + "\n");
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(FileLock::Take(path, std::chrono::milliseconds(200), holder, error));
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(200));
  EXPECT_EQ(holder, static_cast<long>(::getpid()));
  first.reset();
  EXPECT_TRUE(FileLock::Take(path, std::chrono::milliseconds(0), holder, error)) << error;
}

}  // namespace
}  // namespace ct::testing
