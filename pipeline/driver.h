// One conversion run: ClassTable.txt in, the intermediate files and
// ClassType.lua out, every stage announced to the front end.
#pragma once

#include <filesystem>

#include "pipeline/file_store.h"
#include "pipeline/front_end.h"
#include "pipeline/run_options.h"

namespace ct {

enum class RunOutcome {
  kSucceeded,         // ended with the success message
  kFailed,            // ended with the failure message; files still written
  kStoppedAtNesting,  // a bracket error ended the run after stage 8
  kFileError,         // the input could not be read or a file not written
  kAbandoned,         // the front end asked to stop at a stage report
  kStopped,           // a stop was requested (pipeline/stop_request.h); files saved so far stay
};

RunOutcome RunConversion(FrontEnd& ui, FileStore& files, const RunOptions& options = {});
// A run in a folder on disk, the only one there while it lasts: it takes
// the folder's lock (a run that cannot have it ends as a file error, naming
// the process that holds it) and clears what killed runs left behind.
RunOutcome RunConversion(FrontEnd& ui, const std::filesystem::path& folder, const RunOptions& options = {});

}  // namespace ct
