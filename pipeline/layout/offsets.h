// The shift of one structure's member offsets, which the parent-offset stage
// applies to every derived class.
#pragma once

#include <string_view>

#include "pipeline/front_end.h"
#include "text/line_list.h"

namespace ct {

bool ShiftMemberOffsets(LineList& working, std::string_view name, long long offset, Reporter& reporter);

}  // namespace ct
