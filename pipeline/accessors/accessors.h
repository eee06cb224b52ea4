// Declarations restored from the reference list and every member put into
// accessor format, its offset and a type descriptor: stages 23 to 28 of a run.
#pragma once

#include "pipeline/front_end.h"
#include "text/line_list.h"

namespace ct {

// Both return false when they met a length mismatch (reported already).
bool RestoreDeclarations(LineList& working, const LineList& reference, Reporter& reporter);
void EvaluateOperators(LineList& list);
void ConvertToAccessorFormat(LineList& working, LineList& reference, const LineList& snapshot);
bool RemoveVariableDeclarations(LineList& working, LineList& reference, Reporter& reporter);

}  // namespace ct
