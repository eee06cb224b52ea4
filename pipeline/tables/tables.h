// Stages 8 to 12: the nesting check, the rewrite of declarations into Lua
// tables, and the reference list with one declaration a line.
//
//   takes (working):    " TUserItem = record "  " MakeIndex : Integer ; "  " end ; "
//   gives (working):    " TUserItem = { "       " MakeIndex : Integer ; "  "} ; "
//         (reference):  " TUserItem = { MakeIndex : Integer ; ... } ; "
//
// The forms and what each list holds after each phase: docs/line-formats.md.
#pragma once

#include "pipeline/front_end.h"
#include "pipeline/nesting.h"
#include "text/line_list.h"

namespace ct {

// Logs the nesting error and shows its message box. The caller saves the
// working list and ends the run.
void ReportNestingError(const NestingState& state, Reporter& reporter);
void RewriteDeclarationsAsTables(LineList& working);
// Reports every structure of the table form that a declaration, or the end
// of the list, interrupts before its "} ;": its "end ;" is missing. False
// when there is one.
bool ReportOpenStructures(const LineList& working, Reporter& reporter);
// Reports every class that inherits from itself or from its own
// descendant, and removes its inheritance line, which the later stages
// would follow for ever or merge twice. False when there is one.
bool BreakInheritanceCycles(LineList& working, Reporter& reporter);
void BuildReferenceList(const LineList& working, LineList& reference);

}  // namespace ct
