// Runs the whole conversion in memory on arbitrary bytes: the first byte
// chooses whether the rest is a whole ClassTable.txt or declarations
// appended to the prelude, which is how users feed the tool. Each input runs
// twice, with the fast stage versions and with the plain ones they must
// match: a difference in outcome, files, log or messages is a finding too,
// and so is a successful run whose script is not sound data.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "pipeline/driver.h"
#include "pipeline/file_store.h"
#include "pipeline/stage_versions.h"
#include "resources/prelude.h"
#include "tests/plain/plain.h"
#include "tests/support/lua_check.h"
#include "tests/support/script_tables.h"

namespace {

// Keeps what a person would see: the log and the message boxes.
class TranscriptFrontEnd : public ct::UnattendedFrontEnd {
 public:
  void Log(std::string_view line) override { transcript.emplace_back(line); }
  void Message(std::string_view caption, std::string_view text, ct::MessageIcon) override {
    transcript.push_back(std::string(caption) + ": " + std::string(text));
  }

  std::vector<std::string> transcript;
};

struct Run {
  ct::RunOutcome outcome;
  ct::MemoryStore files;
  TranscriptFrontEnd ui;
};

// A run that ends with the success message wrote a script of data that a
// host loads, touching nothing but its tables, the type codes and the two
// accessors, with a table for every structure laid out.
void ExpectSoundScript(const ct::MemoryStore& files) {
  auto file = [&](const char* name) {
    auto it = files.files.find(name);
    return it == files.files.end() ? std::string() : it->second;
  };
  const std::string script = file("ClassType.lua");
  std::vector<std::string> problems = ct::testing::HostLoadProblems(script);
  for (const std::string& name : ct::testing::TablesMissingFromScript(file("ClassTable_E.lua"), script))
    problems.push_back("no table for the laid-out structure " + name);
  if (problems.empty()) return;
  std::fprintf(stderr, "a successful run wrote a script that is not sound:\n");
  for (const std::string& problem : problems) std::fprintf(stderr, "  %s\n", problem.c_str());
  std::abort();
}

void Convert(const std::string& input, const ct::StageVersions& versions, Run& run) {
  run.files.files["ClassTable.txt"] = input;
  run.outcome = ct::RunConversionWith(run.ui, run.files, versions);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  static const std::string prelude = ct::ReadPrelude(ct::kPreludeResource) + "\r\n";
  std::string input(reinterpret_cast<const char*>(data) + 1, size - 1);
  if (data[0] & 1) input.insert(0, prelude);
  Run fast, plain;
  Convert(input, ct::kFastStageVersions, fast);
  Convert(input, ct::kPlainStageVersions, plain);
  if (fast.outcome != plain.outcome || fast.files.files != plain.files.files ||
      fast.ui.transcript != plain.ui.transcript) {
    std::fprintf(stderr, "the fast and the plain stage versions disagree on this input\n");
    std::abort();
  }
  if (fast.outcome == ct::RunOutcome::kSucceeded) ExpectSoundScript(fast.files);
  return 0;
}
