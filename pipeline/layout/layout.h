// Member offsets and the three size fields of every structure: stages 17
// to 22 of a run.
#pragma once

#include "pipeline/front_end.h"
#include "text/line_list.h"

namespace ct {

// Runs evaluation and layout passes until a whole cycle changes no line. On
// success appends the success line and returns true; otherwise writes the
// failure report, naming the last unresolved line of the final cycle, and
// returns false.
bool RunLayoutCycles(LineList& working, Reporter& reporter);

// Empty structures get a whole size of 0, which the later stages need.
void GiveEmptyStructuresZeroSize(LineList& working);

// Derived classes moved behind their parents.
void ShiftParentOffsets(LineList& working, Reporter& reporter);
// The size fields removed once the offsets are final.
void RemoveSizeFields(LineList& working);

}  // namespace ct
