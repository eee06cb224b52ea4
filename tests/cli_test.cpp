// The command-line contract that scripts depend on.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "pipeline/texts.h"
#include "resources/prelude.h"
#include "tests/support/refusing_path.h"
#include "tests/support/run_folder.h"
#include "text/files.h"
#include "text/gbk.h"

namespace ct {
namespace {

using testing::RefusingPath;
using testing::RunningAsRoot;
using testing::TempFolder;
using testing::WithPrelude;
using testing::kOneRecord;

struct Result {
  int status = -1;
  std::string out;
};

// Runs the command line with `arguments` (already shell-quoted), standard
// error folded into `err_file` when given.
Result Cli(const std::string& arguments, const std::string& err_file = "/dev/null") {
  std::string command = std::string(CLASSTABLE_CLI) + " " + arguments + " 2>" + err_file;
  Result result;
  FILE* pipe = ::popen(command.c_str(), "r");
  if (!pipe) return result;
  char buffer[4096];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) result.out.append(buffer, n);
  int status = ::pclose(pipe);
  result.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

std::string Quoted(const std::filesystem::path& path) { return "'" + path.string() + "'"; }

TEST(CliTest, PreludePrintsTheEmbeddedBytes) {
  Result r = Cli("prelude");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, ReadPrelude(kPreludeResource));
}

TEST(CliTest, InitWritesThePreludeOnceAndNeverTouchesAnExistingFile) {
  TempFolder folder;
  Result first = Cli("init " + Quoted(folder.path()));
  EXPECT_EQ(first.status, 0);
  EXPECT_EQ(folder.Read("ClassTable.txt"), ReadPrelude(kPreludeResource) + "\r\n");
  EXPECT_NE(first.out.find("请将欲转换的Delphi(Pascal)头文件代码追加到该文本尾部"), std::string::npos);

  folder.Write("ClassTable.txt", "user text");
  Result second = Cli("init " + Quoted(folder.path()));
  EXPECT_EQ(second.status, 0);
  EXPECT_EQ(folder.Read("ClassTable.txt"), "user text");
}

TEST(CliTest, ConvertPrintsTheLogAndExitsWithTheOutcome) {
  TempFolder folder;
  folder.Write("ClassTable.txt", WithPrelude(kOneRecord));
  Result r = Cli("convert " + Quoted(folder.path()));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out.rfind(std::string(texts::kStartCreating) + "\n", 0), 0u);
  EXPECT_NE(r.out.find(std::string(texts::kSucceededLog) + "\n"), std::string::npos);
  EXPECT_TRUE(folder.Has("ClassType.lua"));
}

TEST(CliTest, MessageBoxesGoToStandardErrorAsOneLine) {
  TempFolder folder, errors;
  folder.Write("ClassTable.txt", WithPrelude(kOneRecord));
  Cli("convert " + Quoted(folder.path()), Quoted(errors.path() / "err.txt"));
  EXPECT_EQ(errors.Read("err.txt"), std::string(texts::kCaptionConfirm) + ": " +
                                        std::string(texts::kSucceededLabel) + "\n");
}

TEST(CliTest, ExitStatuses) {
  TempFolder empty;
  struct Case {
    std::string arguments;
    int status;
  } cases[] = {
      {"convert " + Quoted(empty.path()), 3},
      {"convert " + Quoted(empty.path() / "no-such-folder"), 3},
      {"", 64},
      {"frobnicate", 64},
      {"convert --fast", 64},
      {"convert a b", 64},
      {"layout " + Quoted(empty.path()), 3},
      {"layout --wide", 64},
      {"convert --record-padding=8 " + Quoted(empty.path()), 64},
      {"convert --record-padding " + Quoted(empty.path()), 64},
      {"init --record-padding=4 " + Quoted(empty.path()), 64},
      {"convert --record-padding=largest " + Quoted(empty.path()), 3},
      {"convert " + Quoted(empty.path()) + " --record-padding=4", 3},
      {"--help", 0},
      {"--version", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(Cli(c.arguments).status, c.status) << c.arguments;
}

TEST(CliTest, LayoutPrintsTheStructuresOfTheLastRun) {
  TempFolder folder;
  folder.Write("ClassTable.txt", WithPrelude("type TPad = record b: Byte; i: Integer; end;"));
  ASSERT_EQ(Cli("convert " + Quoted(folder.path())).status, 0);

  Result text = Cli("layout " + Quoted(folder.path()) + " tpad");
  EXPECT_EQ(text.status, 0);
  EXPECT_EQ(text.out,
            "TPad: 8 bytes, aligned to 4, 3 bytes of holes and padding\n"
            "   offset    size  member  type\n"
            "        0       1  b       vt_Byte\n"
            "        1       3  (hole)\n"
            "        4       4  i       vt_Integer\n");

  Result json = Cli("layout --json " + Quoted(folder.path()) + " TPad");
  EXPECT_EQ(json.status, 0);
  EXPECT_NE(json.out.find("{\"kind\": \"hole\", \"offset\": 1, \"size\": 3}"), std::string::npos) << json.out;

  // Every structure without names; a name that is none exits 1.
  EXPECT_NE(Cli("layout " + Quoted(folder.path())).out.find("TPoint: 8 bytes"), std::string::npos);
  EXPECT_EQ(Cli("layout " + Quoted(folder.path()) + " TNone").status, 1);
}

TEST(CliTest, KeywordsConvertAFileToGbkWithCrLf) {
  TempFolder folder;
  folder.Write("keys.txt", " TBase = { \r\n\tVmt = { 0 , vt_Pointer } , \r\n}\r\n TBase.__index = BindGet \r\n");
  Result r = Cli("keywords " + Quoted(folder.path() / "keys.txt"));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, " TBase = { \r\n\t\"Vmt\",\r\n},\r\n");
}

// Hostile inputs and folders each end with their status; the files of an
// earlier run survive every failure.
TEST(CliTest, HostileInputsAndFoldersEndWithTheirStatus) {
  const std::string earlier = "-- from an earlier run\r\n";
  struct Case {
    const char* name;
    std::string input;
    int status;
  } cases[] = {
      {"empty file", "", 1},
      {"prelude alone", WithPrelude(""), 1},
      {"binary junk", std::string("\x01(\xff\x00]\x80", 6), 2},
      {"bracket left open", WithPrelude("const A = (1;"), 2},
      {"comment left open", WithPrelude("{ const A = 1;"), 2},
      {"brace closing nothing", WithPrelude("const A = 1; }"), 2},
      {"UTF-8 with a byte-order mark", "\xEF\xBB\xBF" + GbkToUtf8(WithPrelude("")) + "const S = '中文';\r\n", 0},
      {"UTF-8 character GBK lacks", "\xEF\xBB\xBF" "const S = '\xF0\x9F\x98\x80';\r\n", 3},
  };
  for (const auto& c : cases) {
    TempFolder folder;
    folder.Write("ClassTable.txt", c.input);
    folder.Write("ClassType.lua", earlier);
    EXPECT_EQ(Cli("convert " + Quoted(folder.path())).status, c.status) << c.name;
    if (c.status != 0) {
      EXPECT_EQ(folder.Read("ClassType.lua"), earlier) << c.name;
    }
  }
}

TEST(CliTest, FilesThatCannotBeWrittenExitWithThree) {
  const std::string earlier = "-- from an earlier run\r\n";
  TempFolder read_only_result, refusing_folder, size_limit, errors;
  for (const TempFolder* folder : {&read_only_result, &refusing_folder, &size_limit}) {
    folder->Write("ClassTable.txt", WithPrelude(kOneRecord));
    folder->Write("ClassType.lua", earlier);
  }
  std::filesystem::permissions(read_only_result.path() / "ClassType.lua", std::filesystem::perms::owner_read);
  EXPECT_EQ(Cli("convert " + Quoted(read_only_result.path())).status, 3);
  EXPECT_EQ(read_only_result.Read("ClassType.lua"), earlier);

  // Past the limit the save fails like any other write: no signal kills
  // the run halfway through a file.
  const std::string limited = "ulimit -f 4; exec " + std::string(CLASSTABLE_CLI) + " convert " +
                              Quoted(size_limit.path()) + " >/dev/null 2>" + Quoted(errors.path() / "err.txt");
  EXPECT_EQ(WEXITSTATUS(std::system(limited.c_str())), 3);
  EXPECT_NE(errors.Read("err.txt").find("ClassTable_B.lua"), std::string::npos);
  EXPECT_EQ(size_limit.Read("ClassType.lua"), earlier);
  for (const auto& entry : std::filesystem::directory_iterator(size_limit.path()))
    EXPECT_EQ(entry.path().filename().string().find(".tmp-"), std::string::npos) << entry.path();

  RefusingPath refusing(refusing_folder.path());
  std::string as_user;
  if (!refusing.refuses()) {
    // Root on a file system without immutable files: run as nobody, whom
    // the permission bits stop, where the system lets us.
    if (!RunningAsRoot() || std::system("setpriv --reuid=65534 --regid=65534 --clear-groups true 2>/dev/null") != 0)
      GTEST_SKIP() << "neither immutability nor another user is available here";
    as_user = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
  }
  const std::string command = as_user + CLASSTABLE_CLI + " convert " + Quoted(refusing_folder.path()) + " >/dev/null 2>&1";
  EXPECT_EQ(WEXITSTATUS(std::system(command.c_str())), 3);
  EXPECT_EQ(refusing_folder.Read("ClassType.lua"), earlier);
}

// Runs `script` in a shell; its exit status.
int Shell(const std::string& script) {
  const int status = std::system(script.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

const std::string kEarlier = "-- from an earlier run\r\n";

// A second run in a folder waits for the first, then names it and leaves
// every file to it.
TEST(CliTest, ASecondRunInAFolderNamesTheFirstAndExitsWithThree) {
  TempFolder folder, errors;
  folder.Write("ClassTable.txt", WithPrelude(kOneRecord));
  folder.Write("ClassType.lua", kEarlier);
  long holder = 0;
  std::string error;
  auto lock = FileLock::Take(folder.path() / "ClassTable.lock", std::chrono::milliseconds(0), holder, error);
  ASSERT_TRUE(lock) << error;
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Cli("convert " + Quoted(folder.path()), Quoted(errors.path() / "err.txt")).status, 3);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
  EXPECT_NE(errors.Read("err.txt").find("进程 " + std::to_string(::getpid())), std::string::npos)
      << errors.Read("err.txt");
  EXPECT_EQ(folder.Read("ClassType.lua"), kEarlier);
  EXPECT_FALSE(folder.Has("ClassTable_B.lua"));
  lock.reset();
  EXPECT_EQ(Cli("convert " + Quoted(folder.path())).status, 0);
}

// A reader that goes away ends the log, not the run; a write that fails
// is reported at the end.
TEST(CliTest, StandardOutputThatGoesAwayOrFailsLeavesTheRunWhole) {
  TempFolder folder, errors;
  folder.Write("ClassTable.txt", WithPrelude(kOneRecord));
  folder.Write("ClassType.lua", kEarlier);
  const std::string convert = std::string(CLASSTABLE_CLI) + " convert " + Quoted(folder.path());
  const std::string status = Quoted(errors.path() / "status");
  EXPECT_EQ(Shell("(" + convert + " 2>/dev/null; echo $? >" + status + ") | head -c 1 >/dev/null"), 0);
  EXPECT_EQ(errors.Read("status"), "0\n");
  EXPECT_NE(folder.Read("ClassType.lua"), kEarlier);
  EXPECT_EQ(folder.Read("ClassType.lua.bak"), kEarlier);

  EXPECT_EQ(Shell(convert + " >/dev/full 2>" + Quoted(errors.path() / "err.txt")), 3);
  EXPECT_NE(errors.Read("err.txt").find("cannot write to standard output"), std::string::npos);

  // A pipe shows the log as the run goes: the first line arrives while
  // the run still holds the folder.
  TempFolder slow;
  slow.Write("ClassTable.txt", WithPrelude(kOneRecord));
  long holder = 0;
  std::string error;
  auto lock = FileLock::Take(slow.path() / "ClassTable.lock", std::chrono::milliseconds(0), holder, error);
  ASSERT_TRUE(lock) << error;
  FILE* pipe = ::popen((std::string(CLASSTABLE_CLI) + " convert " + Quoted(slow.path()) + " 2>/dev/null").c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  char line[256] = {};
  ASSERT_NE(std::fgets(line, sizeof line, pipe), nullptr);
  EXPECT_EQ(std::string(line), std::string(texts::kStartCreating) + "\n");
  lock.reset();
  ::pclose(pipe);
}

// A ClassType.lua that the user made a link into the host's tree, with the
// mode the host needs, stays so; the link's target gets the new script.
TEST(CliTest, AScriptThatIsALinkIsWrittenThroughItAndKeepsItsMode) {
  TempFolder folder, host;
  folder.Write("ClassTable.txt", WithPrelude(kOneRecord));
  host.Write("ClassType.lua", kEarlier);
  ::chmod((host.path() / "ClassType.lua").c_str(), 0640);
  std::filesystem::create_symlink(host.path() / "ClassType.lua", folder.path() / "ClassType.lua");
  EXPECT_EQ(Cli("convert " + Quoted(folder.path())).status, 0);
  EXPECT_TRUE(std::filesystem::is_symlink(folder.path() / "ClassType.lua"));
  EXPECT_NE(host.Read("ClassType.lua").find(" TOne = { "), std::string::npos);
  struct stat info {};
  ::stat((host.path() / "ClassType.lua").c_str(), &info);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
  EXPECT_EQ(folder.Read("ClassType.lua.bak"), kEarlier);
}

TEST(CliTest, InputsOverTheLimitAreRefusedUnread) {
  TempFolder folder, errors;
  folder.Write("ClassTable.txt", WithPrelude(std::string(kOneRecord) + "\n{" + std::string(1 << 20, ' ') + "}"));
  folder.Write("ClassType.lua", kEarlier);
  EXPECT_EQ(Cli("convert --max-input 1 " + Quoted(folder.path()), Quoted(errors.path() / "err.txt")).status, 3);
  EXPECT_NE(errors.Read("err.txt").find("more than 1048576 bytes"), std::string::npos) << errors.Read("err.txt");
  EXPECT_EQ(folder.Read("ClassType.lua"), kEarlier);
  EXPECT_EQ(Cli("convert --max-input 2 " + Quoted(folder.path())).status, 0);

  const std::string keywords = "head -c 1100000 /dev/zero | tr '\\0' 'a' | " + std::string(CLASSTABLE_CLI) +
                               " keywords --max-input 1 >/dev/null 2>" + Quoted(errors.path() / "keywords.txt");
  EXPECT_EQ(Shell(keywords), 3);
  EXPECT_NE(errors.Read("keywords.txt").find("standard input holds more than"), std::string::npos);
  EXPECT_EQ(Cli("convert --max-input x").status, 64);
}

TEST(CliTest, RunningOutOfMemoryEndsWithAMessageAndThree) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizer reserves more address space than any limit leaves";
#endif
  TempFolder folder, errors;
  std::string declarations;
  for (int i = 0; i < 200000; ++i) declarations += "type T" + std::to_string(i) + " = record a: Integer; end;\n";
  folder.Write("ClassTable.txt", WithPrelude(declarations));
  folder.Write("ClassType.lua", kEarlier);
  const std::string limited = "ulimit -v 30000; exec " + std::string(CLASSTABLE_CLI) + " convert " +
                              Quoted(folder.path()) + " >/dev/null 2>" + Quoted(errors.path() / "err.txt");
  EXPECT_EQ(Shell(limited), 3);
  EXPECT_NE(errors.Read("err.txt").find("out of memory"), std::string::npos) << errors.Read("err.txt");
  EXPECT_EQ(folder.Read("ClassType.lua"), kEarlier);
}

// Each problem in its own words, with paths as the user spelt them.
TEST(CliTest, MessagesNameTheRealProblem) {
  TempFolder base, errors;
  const std::filesystem::path folder = base.path() / "目录";
  std::filesystem::create_directory(folder);
  const struct {
    const char* name;
    std::string input;  // empty: a named pipe
    std::string said;
  } cases[] = {
      {"UTF-16 with a byte-order mark", std::string("\xFF\xFE" "c\0o\0n\0", 8), "UTF-16 LE"},
      {"UTF-16 without one", std::string("c\0o\0n\0s\0t\0", 10), "UTF-16 LE"},
      {"UTF-32", std::string("\0\0\xFE\xFF\0\0\0c", 8), "UTF-32 BE"},
      {"a named pipe", "", "目录/ClassTable.txt: it is a named pipe, not a file"},
  };
  for (const auto& c : cases) {
    std::filesystem::remove(folder / "ClassTable.txt");
    if (c.input.empty()) ASSERT_EQ(::mkfifo((folder / "ClassTable.txt").c_str(), 0644), 0);
    else std::ofstream(folder / "ClassTable.txt", std::ios::binary) << c.input;
    EXPECT_EQ(Cli("convert " + Quoted(folder), Quoted(errors.path() / "err.txt")).status, 3) << c.name;
    EXPECT_NE(errors.Read("err.txt").find(c.said), std::string::npos) << c.name << ": " << errors.Read("err.txt");
    EXPECT_EQ(errors.Read("err.txt").find("符号没有闭合"), std::string::npos) << c.name;
  }

  std::filesystem::remove(folder / "ClassTable.txt");
  EXPECT_EQ(Cli("convert " + Quoted(folder), Quoted(errors.path() / "err.txt")).status, 3);
  EXPECT_NE(errors.Read("err.txt").find("'classtable init " + folder.string() + "'"), std::string::npos)
      << errors.Read("err.txt");

  std::filesystem::create_directory(folder / "ClassTable.txt");
  EXPECT_EQ(Cli("init " + Quoted(folder), Quoted(errors.path() / "err.txt")).status, 3);
  EXPECT_NE(errors.Read("err.txt").find("目录/ClassTable.txt"), std::string::npos) << errors.Read("err.txt");
}

}  // namespace
}  // namespace ct
