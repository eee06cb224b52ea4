// classtable: the command line of the converter, for scripts and builds.
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <string>
#include <string_view>
#include <vector>

#include "app/cli/layout_command.h"
#include "pipeline/driver.h"
#include "pipeline/input_file.h"
#include "pipeline/keyword_list.h"
#include "pipeline/texts.h"
#include "resources/prelude.h"
#include "text/files.h"
#include "text/gbk.h"
#include "text/line_list.h"

#ifndef CLASSTABLE_VERSION
#define CLASSTABLE_VERSION "0"
#endif

namespace {

constexpr int kExitSucceeded = 0;
constexpr int kExitFailed = 1;
constexpr int kExitNesting = 2;
constexpr int kExitFile = 3;
constexpr int kExitUsage = 64;

constexpr std::string_view kUsage =
    "Usage: classtable COMMAND [OPTION] [ARGUMENT]\n"
    "\n"
    "Converts the Delphi type declarations of ClassTable.txt into ClassType.lua,\n"
    "the Lua tables that describe every record and class layout of a 32-bit host.\n"
    "\n"
    "Commands:\n"
    "  init [DIR]       write DIR/ClassTable.txt from the prelude when it is missing\n"
    "  convert [DIR]    run one complete conversion in DIR (default: current folder)\n"
    "  prelude          print the embedded prelude, byte for byte\n"
    "  keywords [FILE]  turn FILE's lines (default: standard input) into a Lua\n"
    "                   keyword list, printed as GBK with CR LF line ends\n"
    "  layout [DIR] [NAME...] [--json]\n"
    "                   the memory layout of every structure (or of those named)\n"
    "                   of the last conversion in DIR: each member's offset, size\n"
    "                   and type, and the holes between members; read from\n"
    "                   ClassType.lua, ClassTable_D.lua and ClassTable_E.lua\n"
    "\n"
    "Options:\n"
    "  --help           show this text\n"
    "  --version        show the version\n"
    "\n"
    "Options of convert:\n"
    "  --record-padding=4|largest\n"
    "                   round the size of an unpacked record or class instance up\n"
    "                   to a multiple of 4, as the compilers of the host's era did\n"
    "                   (4, the default), or up to its largest member alignment,\n"
    "                   as a modern compiler does (largest)\n"
    "\n"
    "convert prints the run log in UTF-8 on standard output and every message box\n"
    "as 'caption: text' on standard error. Exit status: 0 success, 1 the run ended\n"
    "with the failure message, 2 a bracket nesting error stopped the run, 3 a file\n"
    "could not be read or written, 64 wrong usage. layout exits 1 when a NAME is\n"
    "no structure of ClassType.lua and 3 when the run's files cannot be read.\n";

// Message texts become one line of the terminal, whatever breaks they hold.
std::string OneLine(std::string_view gbk) {
  std::string text = ct::GbkToUtf8(gbk);
  std::string out;
  for (char c : text) {
    if (c == '\r') continue;
    out.push_back(c == '\n' ? ' ' : c);
  }
  return out;
}

class ConsoleFrontEnd : public ct::UnattendedFrontEnd {
 public:
  void Log(std::string_view line) override { std::cout << ct::GbkToUtf8(line) << '\n'; }
  void Message(std::string_view caption, std::string_view text, ct::MessageIcon) override {
    std::cout.flush();
    std::cerr << OneLine(caption) << ": " << OneLine(text) << '\n';
  }
  void RunEnded() override { std::cout.flush(); }
};

int Usage(std::string_view problem) {
  std::cerr << "classtable: " << problem << "\n\n" << kUsage;
  return kExitUsage;
}

std::filesystem::path FolderArgument(const std::vector<std::string>& args) {
  return args.size() > 1 ? std::filesystem::path(args[1]) : std::filesystem::path(".");
}

int Init(const std::vector<std::string>& args) {
  std::filesystem::path folder = FolderArgument(args);
  std::string error;
  switch (ct::WritePreludeIfMissing(folder, error)) {
    case ct::PreludeWrite::kExisted:
      std::cout << ct::InputPath(folder).string() << " exists; left unchanged\n";
      return kExitSucceeded;
    case ct::PreludeWrite::kWritten:
      std::cout << ct::GbkToUtf8(ct::PreludeNotice()) << '\n';
      return kExitSucceeded;
    case ct::PreludeWrite::kFailed:
      break;
  }
  std::cerr << "classtable: " << error << '\n';
  return kExitFile;
}

int Convert(const std::vector<std::string>& args, const ct::RunOptions& options) {
  ConsoleFrontEnd console;
  switch (ct::RunConversion(console, FolderArgument(args), options)) {
    case ct::RunOutcome::kSucceeded:
      return kExitSucceeded;
    case ct::RunOutcome::kFailed:
    case ct::RunOutcome::kAbandoned:
    case ct::RunOutcome::kStopped:
      return kExitFailed;
    case ct::RunOutcome::kStoppedAtNesting:
      return kExitNesting;
    case ct::RunOutcome::kFileError:
      return kExitFile;
  }
  return kExitFailed;
}

// "--record-padding=4" or "--record-padding=largest"; false for anything else.
bool ReadConvertOption(std::string_view arg, ct::RunOptions& options) {
  constexpr std::string_view kPadding = "--record-padding=";
  if (arg.substr(0, kPadding.size()) != kPadding) return false;
  std::string_view value = arg.substr(kPadding.size());
  if (value == "4") {
    options.record_padding = ct::RecordPadding::kFour;
  } else if (value == "largest") {
    options.record_padding = ct::RecordPadding::kLargest;
  } else {
    return false;
  }
  return true;
}

int Keywords(const std::vector<std::string>& args) {
  std::string bytes, error;
  if (args.size() > 1) {
    if (!ct::ReadFileBytes(args[1], bytes, error)) {
      std::cerr << "classtable: " << error << '\n';
      return kExitFile;
    }
  } else {
    bytes.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
  }
  ct::LineList lines;
  lines.SetText(bytes);
  ct::ConvertKeywordList(lines);
  std::cout << lines.Text();
  std::cout.flush();
  std::cerr << OneLine(ct::Gbk(ct::texts::kCaptionConfirm)) << ": " << OneLine(ct::Gbk(ct::texts::kKeywordsDone))
            << '\n';
  return std::cout ? kExitSucceeded : kExitFile;
}

}  // namespace

int main(int argc, char** argv) {
  ct::LetOversizedWritesFail();
  std::vector<std::string> args(argv + 1, argv + argc);
  if (args.empty()) return Usage("no command given");
  const std::string& command = args[0];
  if (command == "--help" || command == "-h") {
    std::cout << kUsage;
    return kExitSucceeded;
  }
  if (command == "--version") {
    std::cout << "classtable " CLASSTABLE_VERSION "\n";
    return kExitSucceeded;
  }
  if (command == "layout") return ct::cli::LayoutCommand({args.begin() + 1, args.end()});
  ct::RunOptions options;
  std::vector<std::string> operands = {command};
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg.empty() || arg[0] != '-') {
      operands.push_back(arg);
    } else if (command != "convert" || !ReadConvertOption(arg, options)) {
      return Usage("unknown option " + arg);
    }
  }
  if (operands.size() > 2) return Usage("too many arguments");
  if (command == "init") return Init(operands);
  if (command == "convert") return Convert(operands, options);
  if (command == "keywords") return Keywords(operands);
  if (command == "prelude") {
    if (operands.size() > 1) return Usage("prelude takes no argument");
    std::string prelude = ct::ReadPrelude(ct::kPreludeResource);
    std::cout.write(prelude.data(), static_cast<std::streamsize>(prelude.size()));
    return std::cout.flush() ? kExitSucceeded : kExitFile;
  }
  return Usage("unknown command " + command);
}
