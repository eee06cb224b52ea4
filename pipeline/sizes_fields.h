// The fields of a declaration line, as the size stages see them: a line may
// hold a whole table, or several fields of a longer one.
#pragma once

#include <string_view>
#include <vector>

#include "text/scan.h"

namespace ct {

// One field: from the byte after the previous field's ";" up to and including
// its own ";", which stands at bracket depth 0 (outside "( )" and "[ ]"), so
// that a parameter list stays inside its field. The last field runs to the
// end of the line.
struct FieldSpan {
  Pos first = 0;
  Pos last = 0;
};

std::vector<FieldSpan> FieldSpans(std::string_view line);

}  // namespace ct
