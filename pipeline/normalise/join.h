// The bracket count of the statement join, which the nesting check reads.
#pragma once

#include <string_view>

#include "pipeline/nesting.h"

namespace ct {

void CountBrackets(std::string_view statement, char opening, char closing, BracketCount& count);

}  // namespace ct
