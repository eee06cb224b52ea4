// One evaluation pass over integer expressions and array declarations.
#pragma once

#include "text/line_list.h"

namespace ct {

// Returns true when the pass changed at least one line.
bool EvaluateExpressions(LineList& working);

}  // namespace ct
