// Placeholder: the offset stages leave the list unchanged until built.
#include "pipeline/offsets.h"

namespace ct {

void ShiftParentOffsets(LineList&, Reporter&) {}
bool ShiftMemberOffsets(LineList&, std::string_view, long long, Reporter&) { return false; }
void RemoveSizeFields(LineList&) {}

}  // namespace ct
