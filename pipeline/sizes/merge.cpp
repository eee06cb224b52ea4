// Every table declaration onto one line, so that a structure is one line of
// the working list as it is of the reference list.
#include "pipeline/sizes/sizes.h"
#include "pipeline/tables/tables.h"

namespace ct {

void MergeTableLines(LineList& working, LineList& scratch) {
  scratch = working;
  JoinTableLines(scratch, working, " { ");
}

}  // namespace ct
