// The nesting report and the rewrite of declarations into Lua tables.
#pragma once

#include <string_view>

#include "pipeline/front_end.h"
#include "pipeline/normalise/normalise.h"
#include "text/line_list.h"

namespace ct {

// Logs the nesting error and shows its message box. The caller saves the
// working list and ends the run.
void ReportNestingError(const NestingState& state, Reporter& reporter);
void RewriteDeclarationsAsTables(LineList& working);
void BuildReferenceList(const LineList& working, LineList& reference);
// Writes `from` into `to` with each table, from a line holding `opener` to
// the line holding "} ;" (both outside strings), joined onto one line. A
// table that nothing closes is left out.
void JoinTableLines(const LineList& from, LineList& to, std::string_view opener);

}  // namespace ct
