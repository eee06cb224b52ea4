// Numbers as the size stages read them from declarations.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "text/line_list.h"

namespace ct {

// A number as written, or the name of a constant with a numeric value in the
// working list: `text` becomes the normalised number and `prefix` the size
// prefix of the sized form (or -1). An empty text is neither.
bool ResolveNumber(const LineList& working, std::string& text, int& prefix);

// A bound, an index or a string length: a number as written, or the name of
// a numeric constant declared anywhere in the working list.
std::optional<std::int64_t> NumberOrConstant(const LineList& working, std::string text);

}  // namespace ct
