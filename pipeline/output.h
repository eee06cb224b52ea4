// From accessor-format structures to the lines of ClassType.lua.
#pragma once

#include "text/line_list.h"

namespace ct {

void SortByNesting(LineList& working, const LineList& reference);
// The same order, in time near-linear in the number of lines moved.
void SortByNestingFast(LineList& working, const LineList& reference);
void MergeInheritedMembers(LineList& working);
void TidyLines(LineList& working);
void AddBindingLines(LineList& working);
void LayOutForReading(LineList& working, LineList& reference);
void TidyTables(LineList& working);
void NormalizeValues(LineList& working);

}  // namespace ct
