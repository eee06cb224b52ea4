// Numbers as the size stages read them from declarations.
#pragma once

#include <string>

#include "text/line_list.h"

namespace ct {

// A number as written, or the name of a constant with a numeric value in the
// working list: `text` becomes the normalised number and `prefix` the size
// prefix of the sized form (or -1). An empty text is neither.
bool ResolveNumber(const LineList& working, std::string& text, int& prefix);

}  // namespace ct
