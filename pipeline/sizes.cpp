// Placeholder: the size stages leave the lists unchanged until built.
#include "pipeline/sizes.h"

namespace ct {

void SubstituteTypeSizes(LineList&) {}
void MergeTableLines(LineList&, LineList&) {}
void SplitFieldGroups(LineList&) {}
void ReplaceFieldReferences(LineList&) {}
bool SplitGroupsInCompactLine(std::string&) { return false; }

}  // namespace ct
