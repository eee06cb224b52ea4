// The stages that have a second, plain version: it compares every line with
// every other and looks every name up by reading the whole list. The plain
// versions live with the tests (tests/plain), as the comparison that the
// shipped versions must match byte for byte; the programs only ever run
// the fast set.
#pragma once

#include "pipeline/driver.h"
#include "text/line_list.h"

namespace ct {

struct StageVersions {
  void (*unify_case)(LineList&);
  void (*mark_class_pointers)(LineList&);
  void (*replace_field_references)(LineList&);
  void (*sort_by_nesting)(LineList& working, const LineList& reference);
  // Whether the run's lists keep name indexes; without them every lookup
  // reads every line.
  bool indexed_lists;
};

extern const StageVersions kFastStageVersions;

// A run with the given versions; RunConversion runs kFastStageVersions.
RunOutcome RunConversionWith(FrontEnd& ui, FileStore& files, const StageVersions& versions,
                             const RunOptions& options = {});

}  // namespace ct
