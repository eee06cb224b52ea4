// The plain versions of the stages that have a fast one: each compares
// every line with every other, and their lists keep no name index. Slow on
// large inputs; the fast versions must match them byte for byte, which the
// differential test, the fuzzer and the benchmark check.
#pragma once

#include "pipeline/stage_versions.h"
#include "text/line_list.h"

namespace ct {

void PlainUnifyCase(LineList& list);
void PlainMarkClassPointers(LineList& list);
void PlainReplaceFieldReferences(LineList& working);
void PlainSortByNesting(LineList& working, const LineList& reference);

extern const StageVersions kPlainStageVersions;

}  // namespace ct
