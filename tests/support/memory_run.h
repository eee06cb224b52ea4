// A whole conversion run held in memory: the input and every file the run
// writes, without a folder on disk.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "pipeline/driver.h"
#include "pipeline/file_store.h"

namespace ct::testing {

struct MemoryRun {
  RunOutcome outcome = RunOutcome::kFailed;
  MemoryStore files;
  std::vector<std::string> log;  // UTF-8

  // A file's text as the run saved it; empty when the run did not save it.
  std::string File(std::string_view name) const;
  std::vector<std::string> Lines(std::string_view name) const;
};

// Runs one conversion of the prelude followed by `declarations` (lines
// separated by "\n").
MemoryRun ConvertInMemory(std::string_view declarations, const RunOptions& options = {});

}  // namespace ct::testing
