// The nesting report and the rewrite of declarations into Lua tables.
#pragma once

#include "pipeline/front_end.h"
#include "pipeline/nesting.h"
#include "text/line_list.h"

namespace ct {

// Logs the nesting error and shows its message box. The caller saves the
// working list and ends the run.
void ReportNestingError(const NestingState& state, Reporter& reporter);
void RewriteDeclarationsAsTables(LineList& working);
void BuildReferenceList(const LineList& working, LineList& reference);

}  // namespace ct
