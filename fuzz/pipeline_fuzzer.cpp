// Runs the whole conversion in memory on arbitrary bytes: the first byte
// chooses whether the rest is a whole ClassTable.txt or declarations
// appended to the prelude, which is how users feed the tool. Each input runs
// twice, with the fast stage versions and with the plain ones they must
// match: a difference in outcome, files, log or messages is a finding too.
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
  return 0;
}
