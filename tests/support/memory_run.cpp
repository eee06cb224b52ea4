#include "tests/support/memory_run.h"

#include "tests/support/recording_front_end.h"
#include "tests/support/run_folder.h"
#include "text/line_list.h"

namespace ct::testing {

std::string MemoryRun::File(std::string_view name) const {
  auto it = files.files.find(name);
  return it == files.files.end() ? std::string() : it->second;
}

std::vector<std::string> MemoryRun::Lines(std::string_view name) const { return SplitLines(File(name)); }

MemoryRun ConvertInMemory(std::string_view declarations, const RunOptions& options) {
  MemoryRun run;
  RecordingFrontEnd ui;
  ui.record_lists = false;  // a whole run's lists at every stage would dominate the time
  run.files.files["ClassTable.txt"] = WithPrelude(declarations);
  run.outcome = RunConversion(ui, run.files, options);
  run.log = ui.LogUtf8();
  return run;
}

}  // namespace ct::testing
