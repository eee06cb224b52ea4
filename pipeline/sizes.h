// Type notations replaced by sizes, tables merged onto one line, field groups
// split and references to named values replaced by the values.
#pragma once

#include "text/line_list.h"

namespace ct {

void SubstituteTypeSizes(LineList& working);
void MergeTableLines(LineList& working, LineList& scratch);
void SplitFieldGroups(LineList& working);
void ReplaceFieldReferences(LineList& working);

}  // namespace ct
