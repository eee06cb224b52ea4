// The two token layouts of a line that the stages switch between: the
// compact form, where symbols touch their neighbours ("a,b:Integer;"), and
// the loosened form, where every symbol stands between single spaces
// (" a , b : Integer ; "). Both leave the inside of string literals alone.
#pragma once

#include <string>
#include <string_view>

#include "text/line_list.h"

namespace ct {

// The loosened form of one line: symbols between single spaces, no double
// spaces, string contents untouched.
std::string LoosenLine(std::string_view line);
// Every line loosened: stage 4, and again after every stage that compacts.
void LoosenText(LineList& list);
// The compact form of one line: spaces around symbols removed, as the
// symbol-space stage leaves it.
std::string CompactLine(std::string_view line);

}  // namespace ct
