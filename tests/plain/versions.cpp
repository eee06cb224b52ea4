#include "tests/plain/plain.h"

namespace ct {

const StageVersions kPlainStageVersions = {PlainUnifyCase, PlainMarkClassPointers, PlainReplaceFieldReferences,
                                           PlainSortByNesting, false};

}  // namespace ct
