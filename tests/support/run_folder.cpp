#include "tests/support/run_folder.h"

#include <algorithm>
#include <fstream>
#include <random>
#include <sstream>

#include "resources/prelude.h"
#include "text/line_list.h"
#include "text/scan.h"

namespace ct::testing {

TempFolder::TempFolder() {
  std::random_device seed;
  path_ = std::filesystem::temp_directory_path() / ("classtable-test-" + std::to_string(seed()) + "-" +
                                                     std::to_string(seed()));
  std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
  std::error_code ec;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
  std::filesystem::remove_all(path_, ec);
}

void TempFolder::Write(std::string_view name, std::string_view bytes) const {
  std::ofstream out(path_ / std::string(name), std::ios::binary);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string TempFolder::Read(std::string_view name) const { return ReadFile(path_ / std::string(name)); }

std::string ReadFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

bool TempFolder::Has(std::string_view name) const { return std::filesystem::exists(path_ / std::string(name)); }

std::vector<std::string> TempFolder::Lines(std::string_view name) const { return SplitLines(Read(name)); }

std::string CrLf(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += '\r';
    out += c;
  }
  return out;
}

size_t InputLineOf(std::string_view input, std::string_view text) {
  const size_t at = input.find(text);
  if (at == std::string_view::npos) return 0;
  return static_cast<size_t>(std::count(input.begin(), input.begin() + static_cast<std::ptrdiff_t>(at), '\n')) + 1;
}

std::string WithPrelude(std::string_view declarations) {
  return ReadPrelude(kPreludeResource) + "\r\n" + CrLf(declarations);
}

size_t FirstDeclarationLine() { return SplitLines(ReadPrelude(kPreludeResource)).size() + 1; }

void RunOn(WholeRun& run, std::string_view input) {
  run.folder.Write("ClassTable.txt", input);
  run.outcome = RunConversion(run.ui, run.folder.path());
}

std::vector<std::string> LinesStartingWith(const std::vector<std::string>& lines, std::string_view prefix) {
  std::vector<std::string> out;
  for (const auto& line : lines)
    if (TrimLeft(line).rfind(prefix, 0) == 0) out.push_back(line);
  return out;
}

}  // namespace ct::testing
