// Type notations replaced by sizes, tables merged onto one line, field groups
// split and references to named values replaced by the values.
#pragma once

#include "text/line_list.h"

namespace ct {

// Each field of each line gets the size its notation tells; the rules that
// act on a first occurrence act once per field.
void SubstituteTypeSizes(LineList& working);
// Rebuilds the working list from a copy in `scratch`: each table, from its
// " { " to its "} ;" (both outside strings), becomes one line.
void MergeTableLines(LineList& working, LineList& scratch);
void SplitFieldGroups(LineList& working);
// Replaces every use of a name whose definition has a numeric value by that
// value, line after line, so that a chain of definitions resolves in one pass.
void ReplaceFieldReferences(LineList& working);

}  // namespace ct
