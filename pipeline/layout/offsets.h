// Derived classes moved behind their parents; size fields removed.
#pragma once

#include <string_view>

#include "pipeline/front_end.h"
#include "text/line_list.h"

namespace ct {

void ShiftParentOffsets(LineList& working, Reporter& reporter);
bool ShiftMemberOffsets(LineList& working, std::string_view name, long long offset, Reporter& reporter);
void RemoveSizeFields(LineList& working);

}  // namespace ct
