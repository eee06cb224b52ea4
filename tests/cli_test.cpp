// The command-line contract that scripts depend on.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdio>
#include <string>

#include "pipeline/texts.h"
#include "resources/prelude.h"
#include "tests/support/run_folder.h"

namespace ct {
namespace {

using testing::TempFolder;
using testing::WithPrelude;

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
  folder.Write("ClassTable.txt", WithPrelude(""));
  Result r = Cli("convert " + Quoted(folder.path()));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out.rfind(std::string(texts::kStartCreating) + "\n", 0), 0u);
  EXPECT_NE(r.out.find(std::string(texts::kSucceededLog) + "\n"), std::string::npos);
  EXPECT_TRUE(folder.Has("ClassType.lua"));
}

TEST(CliTest, MessageBoxesGoToStandardErrorAsOneLine) {
  TempFolder folder, errors;
  folder.Write("ClassTable.txt", WithPrelude(""));
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
      {"--help", 0},
      {"--version", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(Cli(c.arguments).status, c.status) << c.arguments;
}

TEST(CliTest, KeywordsConvertAFileToGbkWithCrLf) {
  TempFolder folder;
  folder.Write("keys.txt", " TBase = { \r\n\tVmt = { 0 , vt_Pointer } , \r\n}\r\n TBase.__index = BindGet \r\n");
  Result r = Cli("keywords " + Quoted(folder.path() / "keys.txt"));
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, " TBase = { \r\n\t\"Vmt\",\r\n},\r\n");
}

}  // namespace
}  // namespace ct
