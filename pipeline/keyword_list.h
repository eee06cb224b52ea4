// The keyword list: names turned into the body of a Lua list of strings.
#pragma once

#include "text/line_list.h"

namespace ct {

void ConvertKeywordList(LineList& lines);

}  // namespace ct
