// Every table declaration onto one line, so that a structure is one line of
// the working list as it is of the reference list.
#include "pipeline/joined_tables.h"
#include "pipeline/sizes/sizes.h"

namespace ct {

void MergeTableLines(LineList& working, LineList& scratch) {
  scratch = working;
  JoinTableLines(scratch, working, " { ");
}

}  // namespace ct
