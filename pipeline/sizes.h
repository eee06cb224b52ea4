// Type notations replaced by sizes, tables merged onto one line, field groups
// split and references to named values replaced by the values.
#pragma once

#include <string>

#include "text/line_list.h"

namespace ct {

void SubstituteTypeSizes(LineList& working);
void MergeTableLines(LineList& working, LineList& scratch);
void SplitFieldGroups(LineList& working);
void ReplaceFieldReferences(LineList& working);

// Splits the field groups of one line in the compact form ("a,b:Integer;"
// becomes "a:Integer;b:Integer;"). Returns true when a comma was replaced.
// Shared with the member-name splitting that precedes the accessor format.
bool SplitGroupsInCompactLine(std::string& compact_line);

}  // namespace ct
