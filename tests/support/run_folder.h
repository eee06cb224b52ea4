// A temporary working folder with a ClassTable.txt, and whole runs in it.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "pipeline/driver.h"
#include "tests/support/recording_front_end.h"

namespace ct::testing {

class TempFolder {
 public:
  TempFolder();
  ~TempFolder();
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  void Write(std::string_view name, std::string_view bytes) const;
  std::string Read(std::string_view name) const;  // empty when missing
  bool Has(std::string_view name) const;
  // The file's lines (split at CR LF), as the pipeline wrote them.
  std::vector<std::string> Lines(std::string_view name) const;

 private:
  std::filesystem::path path_;
};

// A whole file's bytes; empty when it cannot be read.
std::string ReadFile(const std::filesystem::path& path);

// The embedded prelude followed by `declarations` (lines separated by "\n";
// written with CR LF like a real ClassTable.txt).
std::string WithPrelude(std::string_view declarations);
// The least that a run converts: a record of one member. The prelude alone
// leaves the earlier results as they are.
inline constexpr std::string_view kOneRecord = "type TOne = record a: Integer; end;";

// The line of that ClassTable.txt (counted from 1) where `declarations` begin.
size_t FirstDeclarationLine();
// `text` with every "\n" turned into CR LF.
std::string CrLf(std::string_view text);
// The line of `input` (1-based, as reports name it) on which `text` first
// stands; 0 when it stands nowhere.
size_t InputLineOf(std::string_view input, std::string_view text);

struct WholeRun {
  TempFolder folder;
  RecordingFrontEnd ui;
  RunOutcome outcome = RunOutcome::kFailed;
};

// Writes `input` as ClassTable.txt into a fresh folder and runs a conversion.
void RunOn(WholeRun& run, std::string_view input);

// The lines of `lines` that start with `prefix` after the leading space.
std::vector<std::string> LinesStartingWith(const std::vector<std::string>& lines, std::string_view prefix);

}  // namespace ct::testing
