// The command-line contract that scripts depend on.
#include <gtest/gtest.h>
#ifndef _WIN32
#include <sys/stat.h>
#include <sys/wait.h>
#endif

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <vector>

#include "pipeline/texts.h"
#include "resources/prelude.h"
#include "tests/support/program_run.h"
#include "tests/support/refusing_path.h"
#include "tests/support/run_folder.h"
#include "text/files.h"
#include "text/gbk.h"
#include "text/paths.h"

namespace ct {
namespace {

using testing::ProgramOptions;
using testing::ProgramRun;
using testing::RefusingPath;
using testing::RunningAsRoot;
using testing::TempFolder;
using testing::WithPrelude;
using testing::kOneRecord;

// Runs the command line with `arguments`, as a user would type them.
ProgramRun Cli(const std::vector<std::string>& arguments, const ProgramOptions& options = {}) {
  return testing::RunProgram(CLASSTABLE_CLI, arguments, options);
}

// A folder as the user types it.
std::string Typed(const std::filesystem::path& path) { return PathText(path); }

TEST(CliTest, PreludePrintsTheEmbeddedBytes) {
  ProgramRun r = Cli({"prelude"});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, ReadPrelude(kPreludeResource));
}

TEST(CliTest, InitWritesThePreludeOnceAndNeverTouchesAnExistingFile) {
  TempFolder folder;
  ProgramRun first = Cli({"init", Typed(folder.path())});
  EXPECT_EQ(first.status, 0);
  EXPECT_EQ(folder.Read("ClassTable.txt"), ReadPrelude(kPreludeResource) + "\r\n");
  EXPECT_NE(first.out.find("请将欲转换的Delphi(Pascal)头文件代码追加到该文本尾部"), std::string::npos);

  folder.Write("ClassTable.txt", "user text");
  ProgramRun second = Cli({"init", Typed(folder.path())});
  EXPECT_EQ(second.status, 0);
  EXPECT_EQ(folder.Read("ClassTable.txt"), "user text");
}

TEST(CliTest, ConvertPrintsTheLogAndExitsWithTheOutcome) {
  TempFolder folder;
  folder.Write("ClassTable.txt", WithPrelude(kOneRecord));
  ProgramRun r = Cli({"convert", Typed(folder.path())});
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out.rfind(std::string(texts::kStartCreating) + "\n", 0), 0u);
  EXPECT_NE(r.out.find(std::string(texts::kSucceededLog) + "\n"), std::string::npos);
  EXPECT_TRUE(folder.Has("ClassType.lua"));
}

TEST(CliTest, MessageBoxesGoToStandardErrorAsOneLine) {
  TempFolder folder;
  folder.Write("ClassTable.txt", WithPrelude(kOneRecord));
  EXPECT_EQ(Cli({"convert", Typed(folder.path())}).err,
            std::string(texts::kCaptionConfirm) + ": " + std::string(texts::kSucceededLabel) + "\n");
}

TEST(CliTest, ExitStatuses) {
  TempFolder empty;
  const std::string folder = Typed(empty.path());
  struct Case {
    std::vector<std::string> arguments;
    int status;
  } cases[] = {
      {{"convert", folder}, 3},
      {{"convert", Typed(empty.path() / "no-such-folder")}, 3},
      {{}, 64},
      {{"frobnicate"}, 64},
      {{"convert", "--fast"}, 64},
      {{"convert", "a", "b"}, 64},
      {{"layout", folder}, 3},
      {{"layout", "--wide"}, 64},
      {{"convert", "--record-padding=8", folder}, 64},
      {{"convert", "--record-padding", folder}, 64},
      {{"init", "--record-padding=4", folder}, 64},
      {{"convert", "--record-padding=largest", folder}, 3},
      {{"convert", folder, "--record-padding=4"}, 3},
      {{"--help"}, 0},
      {{"--version"}, 0},
  };
  for (const auto& c : cases) {
    std::string typed;
    for (const std::string& word : c.arguments) typed += " " + word;
    EXPECT_EQ(Cli(c.arguments).status, c.status) << typed;
  }
}

TEST(CliTest, LayoutPrintsTheStructuresOfTheLastRun) {
  TempFolder folder;
  folder.Write("ClassTable.txt", WithPrelude("type TPad = record b: Byte; i: Integer; end;"));
  const std::string typed = Typed(folder.path());
  ASSERT_EQ(Cli({"convert", typed}).status, 0);

  ProgramRun text = Cli({"layout", typed, "tpad"});
  EXPECT_EQ(text.status, 0);
  EXPECT_EQ(text.out,
            "TPad: 8 bytes, aligned to 4, 3 bytes of holes and padding\n"
            "   offset    size  member  type\n"
            "        0       1  b       vt_Byte\n"
            "        1       3  (hole)\n"
            "        4       4  i       vt_Integer\n");

  ProgramRun json = Cli({"layout", "--json", typed, "TPad"});
  EXPECT_EQ(json.status, 0);
  EXPECT_NE(json.out.find("{\"kind\": \"hole\", \"offset\": 1, \"size\": 3}"), std::string::npos) << json.out;

  // Every structure without names; a name that is none exits 1.
  EXPECT_NE(Cli({"layout", typed}).out.find("TPoint: 8 bytes"), std::string::npos);
  EXPECT_EQ(Cli({"layout", typed, "TNone"}).status, 1);
}

TEST(CliTest, KeywordsConvertAFileToGbkWithCrLf) {
  TempFolder folder;
  folder.Write("keys.txt", " TBase = { \r\n\tVmt = { 0 , vt_Pointer } , \r\n}\r\n TBase.__index = BindGet \r\n");
  ProgramRun r = Cli({"keywords", Typed(folder.path() / "keys.txt")});
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
    EXPECT_EQ(Cli({"convert", Typed(folder.path())}).status, c.status) << c.name;
    if (c.status != 0) {
      EXPECT_EQ(folder.Read("ClassType.lua"), earlier) << c.name;
    }
  }
}

#ifndef _WIN32
// Runs `script` in a shell, for what only a POSIX shell sets up (resource
// limits, another user, /dev/full); its exit status.
int Shell(const std::string& script) {
  const int status = std::system(script.c_str());
  return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

std::string Quoted(const std::filesystem::path& path) { return "'" + path.string() + "'"; }
#endif

TEST(CliTest, FilesThatCannotBeWrittenExitWithThree) {
  const std::string earlier = "-- from an earlier run\r\n";
  TempFolder read_only_result, size_limit, errors;
  for (const TempFolder* folder : {&read_only_result, &size_limit}) {
    folder->Write("ClassTable.txt", WithPrelude(kOneRecord));
    folder->Write("ClassType.lua", earlier);
  }
  // On Windows this sets the read-only attribute.
  std::filesystem::permissions(read_only_result.path() / "ClassType.lua", std::filesystem::perms::owner_read);
  EXPECT_EQ(Cli({"convert", Typed(read_only_result.path())}).status, 3);
  EXPECT_EQ(read_only_result.Read("ClassType.lua"), earlier);
  std::filesystem::permissions(read_only_result.path() / "ClassType.lua", std::filesystem::perms::owner_write,
                               std::filesystem::perm_options::add);  // Windows removes no read-only file

#ifndef _WIN32
  // Past the limit the save fails like any other write: no signal kills
  // the run halfway through a file. (Windows sets a process no file size
  // limit.)
  const std::string limited = "ulimit -f 4; exec " + std::string(CLASSTABLE_CLI) + " convert " +
                              Quoted(size_limit.path()) + " >/dev/null 2>" + Quoted(errors.path() / "err.txt");
  EXPECT_EQ(Shell(limited), 3);
  EXPECT_NE(errors.Read("err.txt").find("ClassTable_B.lua"), std::string::npos);
  EXPECT_EQ(size_limit.Read("ClassType.lua"), earlier);
  for (const auto& entry : std::filesystem::directory_iterator(size_limit.path()))
    EXPECT_EQ(entry.path().filename().string().find(".tmp-"), std::string::npos) << entry.path();
#endif
}

TEST(CliTest, AFolderThatRefusesWritesExitsWithThree) {
  const std::string earlier = "-- from an earlier run\r\n";
  TempFolder refusing_folder;
  refusing_folder.Write("ClassTable.txt", WithPrelude(kOneRecord));
  refusing_folder.Write("ClassType.lua", earlier);
  RefusingPath refusing(refusing_folder.path());
  ProgramRun run;
  if (refusing.refuses()) {
    run = Cli({"convert", Typed(refusing_folder.path())});
  } else {
#ifdef _WIN32
    GTEST_SKIP() << "this Windows enforces no access list (Wine), and has no other user to run as";
#else
    // Root on a file system without immutable files: run as nobody, whom
    // the permission bits stop, where the system lets us.
    if (!RunningAsRoot() || Shell("setpriv --reuid=65534 --regid=65534 --clear-groups true 2>/dev/null") != 0)
      GTEST_SKIP() << "neither immutability nor another user is available here";
    run.status = Shell("setpriv --reuid=65534 --regid=65534 --clear-groups " + std::string(CLASSTABLE_CLI) +
                       " convert " + Quoted(refusing_folder.path()) + " >/dev/null 2>&1");
#endif
  }
  EXPECT_EQ(run.status, 3);
  EXPECT_EQ(refusing_folder.Read("ClassType.lua"), earlier);
}

const std::string kEarlier = "-- from an earlier run\r\n";

// A second run in a folder waits for the first, then names it and leaves
// every file to it.
TEST(CliTest, ASecondRunInAFolderNamesTheFirstAndExitsWithThree) {
  TempFolder folder;
  folder.Write("ClassTable.txt", WithPrelude(kOneRecord));
  folder.Write("ClassType.lua", kEarlier);
  long holder = 0;
  std::string error;
  auto lock = FileLock::Take(folder.path() / "ClassTable.lock", std::chrono::milliseconds(0), holder, error);
  ASSERT_TRUE(lock) << error;
  const auto start = std::chrono::steady_clock::now();
  const ProgramRun second = Cli({"convert", Typed(folder.path())});
  EXPECT_EQ(second.status, 3);
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::seconds(3));
  EXPECT_NE(second.err.find("进程 " + std::to_string(testing::CurrentProcessId())), std::string::npos) << second.err;
  EXPECT_EQ(folder.Read("ClassType.lua"), kEarlier);
  EXPECT_FALSE(folder.Has("ClassTable_B.lua"));
  lock.reset();
  EXPECT_EQ(Cli({"convert", Typed(folder.path())}).status, 0);
}

// A reader that goes away ends the log, not the run; a write that fails
// is reported at the end.
TEST(CliTest, StandardOutputThatGoesAwayOrFailsLeavesTheRunWhole) {
  TempFolder folder;
  folder.Write("ClassTable.txt", WithPrelude(kOneRecord));
  folder.Write("ClassType.lua", kEarlier);
  // As `| head -c 1`: the reader closes its end after the first byte.
  ProgramOptions one_byte;
  one_byte.keep_reading = [](const std::string&) { return false; };
  EXPECT_EQ(Cli({"convert", Typed(folder.path())}, one_byte).status, 0);
  EXPECT_NE(folder.Read("ClassType.lua"), kEarlier);
  EXPECT_EQ(folder.Read("ClassType.lua.bak"), kEarlier);

#ifndef _WIN32
  // Windows has no device that fails every write.
  TempFolder errors;
  const std::string convert = std::string(CLASSTABLE_CLI) + " convert " + Quoted(folder.path());
  EXPECT_EQ(Shell(convert + " >/dev/full 2>" + Quoted(errors.path() / "err.txt")), 3);
  EXPECT_NE(errors.Read("err.txt").find("cannot write to standard output"), std::string::npos);
#endif

  // A pipe shows the log as the run goes: the first line arrives while
  // the folder is still held, and the folder is given up only then.
  TempFolder slow;
  slow.Write("ClassTable.txt", WithPrelude(kOneRecord));
  long holder = 0;
  std::string error;
  auto lock = FileLock::Take(slow.path() / "ClassTable.lock", std::chrono::milliseconds(0), holder, error);
  ASSERT_TRUE(lock) << error;
  std::string first_seen;
  ProgramOptions release_on_first_read;
  release_on_first_read.keep_reading = [&](const std::string& out) {
    if (lock) first_seen = out;
    lock.reset();
    return true;
  };
  Cli({"convert", Typed(slow.path())}, release_on_first_read);
  EXPECT_EQ(first_seen.rfind(std::string(texts::kStartCreating) + "\n", 0), 0u) << first_seen;
}

// A ClassType.lua that the user made a link into the host's tree, with the
// mode the host needs, stays so; the link's target gets the new script.
TEST(CliTest, AScriptThatIsALinkIsWrittenThroughItAndKeepsItsMode) {
#ifdef _WIN32
  GTEST_SKIP() << "a symbolic link on Windows needs a privilege an ordinary user lacks, and files have no mode bits";
#else
  TempFolder folder, host;
  folder.Write("ClassTable.txt", WithPrelude(kOneRecord));
  host.Write("ClassType.lua", kEarlier);
  ::chmod((host.path() / "ClassType.lua").c_str(), 0640);
  std::filesystem::create_symlink(host.path() / "ClassType.lua", folder.path() / "ClassType.lua");
  EXPECT_EQ(Cli({"convert", Typed(folder.path())}).status, 0);
  EXPECT_TRUE(std::filesystem::is_symlink(folder.path() / "ClassType.lua"));
  EXPECT_NE(host.Read("ClassType.lua").find(" TOne = { "), std::string::npos);
  struct stat info {};
  ::stat((host.path() / "ClassType.lua").c_str(), &info);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
  EXPECT_EQ(folder.Read("ClassType.lua.bak"), kEarlier);
#endif
}

TEST(CliTest, InputsOverTheLimitAreRefusedUnread) {
  TempFolder folder;
  folder.Write("ClassTable.txt", WithPrelude(std::string(kOneRecord) + "\n{" + std::string(1 << 20, ' ') + "}"));
  folder.Write("ClassType.lua", kEarlier);
  const ProgramRun over = Cli({"convert", "--max-input", "1", Typed(folder.path())});
  EXPECT_EQ(over.status, 3);
  EXPECT_NE(over.err.find("more than 1048576 bytes"), std::string::npos) << over.err;
  EXPECT_EQ(folder.Read("ClassType.lua"), kEarlier);
  EXPECT_EQ(Cli({"convert", "--max-input", "2", Typed(folder.path())}).status, 0);

  ProgramOptions large_input;
  large_input.input = std::string(1100000, 'a');
  const ProgramRun keywords = Cli({"keywords", "--max-input", "1"}, large_input);
  EXPECT_EQ(keywords.status, 3);
  EXPECT_NE(keywords.err.find("standard input holds more than"), std::string::npos) << keywords.err;
  EXPECT_EQ(Cli({"convert", "--max-input", "x"}).status, 64);
}

TEST(CliTest, RunningOutOfMemoryEndsWithAMessageAndThree) {
#if defined(__SANITIZE_ADDRESS__)
  GTEST_SKIP() << "the sanitizer reserves more address space than any limit leaves";
#elif defined(_WIN32)
  GTEST_SKIP() << "the limit is a shell's ulimit; Windows would need a job object, which Wine does not enforce";
#else
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
#endif
}

// Each problem in its own words, with paths as the user spelt them.
TEST(CliTest, MessagesNameTheRealProblem) {
  TempFolder base;
  const std::filesystem::path folder = base.path() / "目录";
  const std::string typed = Typed(folder);
  // The input file as messages name it, after the folder as typed.
  const std::string input = typed.substr(typed.size() - std::string("目录").size()) +
                            static_cast<char>(std::filesystem::path::preferred_separator) + "ClassTable.txt";
  std::filesystem::create_directory(folder);
  struct Case {
    const char* name;
    std::string input;  // empty: a named pipe
    std::string said;
  };
  std::vector<Case> cases = {
      {"UTF-16 with a byte-order mark", std::string("\xFF\xFE" "c\0o\0n\0", 8), "UTF-16 LE"},
      {"UTF-16 without one", std::string("c\0o\0n\0s\0t\0", 10), "UTF-16 LE"},
      {"UTF-32", std::string("\0\0\xFE\xFF\0\0\0c", 8), "UTF-32 BE"},
  };
#ifndef _WIN32
  // Windows keeps no named pipe among files.
  cases.push_back({"a named pipe", "", input + ": it is a named pipe, not a file"});
#endif
  for (const auto& c : cases) {
    std::filesystem::remove(folder / "ClassTable.txt");
#ifndef _WIN32
    if (c.input.empty()) {
      ASSERT_EQ(::mkfifo((folder / "ClassTable.txt").c_str(), 0644), 0);
    }
#endif
    if (!c.input.empty()) std::ofstream(folder / "ClassTable.txt", std::ios::binary) << c.input;
    const ProgramRun run = Cli({"convert", typed});
    EXPECT_EQ(run.status, 3) << c.name;
    EXPECT_NE(run.err.find(c.said), std::string::npos) << c.name << ": " << run.err;
    EXPECT_EQ(run.err.find("符号没有闭合"), std::string::npos) << c.name;
  }

  std::filesystem::remove(folder / "ClassTable.txt");
  const ProgramRun missing = Cli({"convert", typed});
  EXPECT_EQ(missing.status, 3);
  EXPECT_NE(missing.err.find("'classtable init " + typed + "'"), std::string::npos) << missing.err;

  std::filesystem::create_directory(folder / "ClassTable.txt");
  const ProgramRun blocked = Cli({"init", typed});
  EXPECT_EQ(blocked.status, 3);
  EXPECT_NE(blocked.err.find(input), std::string::npos) << blocked.err;
}

}  // namespace
}  // namespace ct
