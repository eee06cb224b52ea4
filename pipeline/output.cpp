// Placeholder: the output stages leave the list unchanged until built.
#include "pipeline/output.h"

namespace ct {

void SortByNesting(LineList&, const LineList&) {}
void MergeInheritedMembers(LineList&) {}
void TidyLines(LineList&) {}
void AddBindingLines(LineList&) {}
void LayOutForReading(LineList&, LineList&) {}
void TidyTables(LineList&) {}
void NormalizeValues(LineList&) {}

}  // namespace ct
