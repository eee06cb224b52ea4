// The reference list: the working list with every table declaration joined
// onto one line, read back line by line by the later stages.
#include "pipeline/joined_tables.h"
#include "pipeline/tables/tables.h"

namespace ct {

void BuildReferenceList(const LineList& working, LineList& reference) { JoinTableLines(working, reference, "{"); }

}  // namespace ct
