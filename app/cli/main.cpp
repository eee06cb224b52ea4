// classtable: the command line of the converter, for scripts and builds.
#include <cstdio>
#include <filesystem>
#include <iostream>
#include <new>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "app/cli/console_output.h"
#include "app/cli/layout_command.h"
#include "app/cli/standard_streams.h"
#include "pipeline/driver.h"
#include "pipeline/input_file.h"
#include "pipeline/keyword_list.h"
#include "pipeline/texts.h"
#include "resources/prelude.h"
#include "text/files.h"
#include "text/gbk.h"
#include "text/line_list.h"
#include "text/paths.h"
#include "text/scan.h"

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
    "  --max-input MB   for convert and keywords: read inputs of up to MB\n"
    "                   megabytes (default 256); a larger one is refused unread\n"
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
    "as 'caption: text' on standard error. One conversion at a time works in a\n"
    "folder: a second one waits three seconds, then names the first and exits 3.\n"
    "The ClassType.lua a run replaces is kept as ClassType.lua.bak. Exit status:\n"
    "0 success, 1 the run ended with the failure message, 2 a bracket nesting\n"
    "error stopped the run, 3 a file could not be read or written (or standard\n"
    "output failed, or memory ran out), 64 wrong usage. layout exits 1 when a\n"
    "NAME is no structure of ClassType.lua and 3 when the run's files cannot be\n"
    "read.\n";

constexpr std::uint64_t kMegabyte = 1 << 20;

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
  explicit ConsoleFrontEnd(ct::cli::ConsoleOutput& out) : out_(out) {}
  void Log(std::string_view line) override { out_.Write(ct::GbkToUtf8(line) + "\n"); }
  void Message(std::string_view caption, std::string_view text, ct::MessageIcon) override {
    std::cerr << OneLine(caption) << ": " << OneLine(text) << '\n';
  }

 private:
  ct::cli::ConsoleOutput& out_;
};

struct Arguments {
  std::string command;
  std::optional<std::string> operand;
  ct::RunOptions options;
};

int Usage(std::string_view problem) {
  std::cerr << "classtable: " << problem << "\n\n" << kUsage;
  return kExitUsage;
}

// "--record-padding=4" or "--record-padding=largest"; false for anything else.
bool ReadPaddingOption(std::string_view arg, ct::RunOptions& options) {
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

// Nothing but usage errors end here; the caller prints them.
std::optional<std::string> Parse(const std::vector<std::string>& args, Arguments& out) {
  out.command = args[0];
  for (size_t i = 1; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg == "--max-input") {
      auto megabytes = i + 1 < args.size() ? ct::ParseInt64(args[i + 1]) : std::nullopt;
      if (!megabytes || *megabytes <= 0 || *megabytes > (INT64_MAX >> 20)) return "--max-input takes a number of megabytes";
      out.options.input_limit = static_cast<std::uint64_t>(*megabytes) * kMegabyte;
      ++i;
    } else if (out.command == "convert" && ReadPaddingOption(arg, out.options)) {
      continue;
    } else if (!arg.empty() && arg[0] == '-') {
      return "unknown option " + arg;
    } else if (out.operand) {
      return "too many arguments";
    } else {
      out.operand = arg;
    }
  }
  return std::nullopt;
}

std::filesystem::path Folder(const Arguments& args) {
  return ct::PathFromUtf8(args.operand ? *args.operand : ".");
}

// What standard output did, for the exit status: a reader that went away is
// no fault, a write that failed is.
int WithOutput(int status, const ct::cli::ConsoleOutput& out) {
  if (out.Failure().empty()) return status;
  std::cerr << "classtable: cannot write to standard output: " << out.Failure() << '\n';
  return status == kExitSucceeded ? kExitFile : status;
}

int Init(const Arguments& args, ct::cli::ConsoleOutput& out) {
  std::filesystem::path folder = Folder(args);
  std::string error;
  switch (ct::WritePreludeIfMissing(folder, error)) {
    case ct::PreludeWrite::kExisted:
      out.Write(ct::PathText(ct::InputPath(folder)) + " exists; left unchanged\n");
      return WithOutput(kExitSucceeded, out);
    case ct::PreludeWrite::kWritten:
      out.Write(ct::GbkToUtf8(ct::PreludeNotice()) + "\n");
      return WithOutput(kExitSucceeded, out);
    case ct::PreludeWrite::kFailed:
      break;
  }
  std::cerr << "classtable: " << error << '\n';
  return kExitFile;
}

int Convert(const Arguments& args, ct::cli::ConsoleOutput& out) {
  const std::filesystem::path folder = Folder(args);
  if (ct::KindOfPath(ct::InputPath(folder)) == ct::PathKind::kNothing) {
    std::cerr << "classtable: " << ct::PathText(ct::InputPath(folder)) << " does not exist; 'classtable init"
              << (args.operand ? " " + *args.operand : std::string()) << "' writes it from the prelude\n";
    return kExitFile;
  }
  ConsoleFrontEnd console(out);
  int status = kExitFailed;
  switch (ct::RunConversion(console, folder, args.options)) {
    case ct::RunOutcome::kSucceeded:
      status = kExitSucceeded;
      break;
    case ct::RunOutcome::kFailed:
    case ct::RunOutcome::kAbandoned:
    case ct::RunOutcome::kStopped:
      status = kExitFailed;
      break;
    case ct::RunOutcome::kStoppedAtNesting:
      status = kExitNesting;
      break;
    case ct::RunOutcome::kFileError:
      status = kExitFile;
      break;
  }
  return WithOutput(status, out);
}

int Keywords(const Arguments& args, ct::cli::ConsoleOutput& out) {
  std::string bytes, error;
  const bool read = args.operand ? ct::ReadFileBytes(ct::PathFromUtf8(*args.operand), bytes, error, args.options.input_limit)
                                 : ct::cli::ReadStandardInput(bytes, args.options.input_limit, error);
  if (!read) {
    std::cerr << "classtable: " << error << '\n';
    return kExitFile;
  }
  ct::LineList lines;
  lines.SetText(bytes);
  ct::ConvertKeywordList(lines);
  out.Write(lines.Text());
  std::cerr << OneLine(ct::Gbk(ct::texts::kCaptionConfirm)) << ": " << OneLine(ct::Gbk(ct::texts::kKeywordsDone))
            << '\n';
  return WithOutput(kExitSucceeded, out);
}

int Main(const std::vector<std::string>& words) {
  ct::cli::ConsoleOutput out;
  if (words.empty()) return Usage("no command given");
  const std::string& command = words[0];
  if (command == "--help" || command == "-h") {
    out.Write(kUsage);
    return WithOutput(kExitSucceeded, out);
  }
  if (command == "--version") {
    out.Write("classtable " CLASSTABLE_VERSION "\n");
    return WithOutput(kExitSucceeded, out);
  }
  if (command == "layout") return ct::cli::LayoutCommand({words.begin() + 1, words.end()});
  Arguments args;
  if (auto problem = Parse(words, args)) return Usage(*problem);
  if (command == "init") return Init(args, out);
  if (command == "convert") return Convert(args, out);
  if (command == "keywords") return Keywords(args, out);
  if (command == "prelude") {
    if (args.operand) return Usage("prelude takes no argument");
    out.Write(ct::ReadPrelude(ct::kPreludeResource));
    return WithOutput(kExitSucceeded, out);
  }
  return Usage("unknown command " + command);
}

}  // namespace

int main(int argc, char** argv) {
  ct::LetOversizedWritesFail();
  ct::cli::PrepareStandardStreams();
  try {
    return Main(ct::cli::CommandLineWords(argc, argv));
  } catch (const std::bad_alloc&) {
  } catch (const std::length_error&) {
  }
  // Nothing is allocated from here on: the message is a literal.
  std::fputs("classtable: out of memory; every file written so far is whole\n", stderr);
  return kExitFile;
}
