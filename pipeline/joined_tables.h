// Tables written over several lines joined onto one: the reference list is
// built this way, and the working list is merged the same way later.
#pragma once

#include <string_view>

#include "text/line_list.h"

namespace ct {

// Writes `from` into `to` with each table, from a line holding `opener` to
// the line holding "} ;" (both outside strings), joined onto one line. A
// table that nothing closes is left out.
void JoinTableLines(const LineList& from, LineList& to, std::string_view opener);

}  // namespace ct
