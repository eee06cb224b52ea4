// Member names split one per field before the accessor format.
#pragma once

#include <string>

namespace ct {

bool SplitMemberNames(std::string& line);

}  // namespace ct
