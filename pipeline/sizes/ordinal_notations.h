// Ordinals written as names, read as the numbers they stand for, so that the
// layout counts and sizes them: "Low ( T )" and "High ( T )", an array
// indexed by a type, a range bounded by characters or enumeration members.
#pragma once

#include <string>

#include "text/line_list.h"

namespace ct {

// Rewrites one line of the working list (the loosened form, " array "
// still in place):
//   " Low ( TKind ) " and " High ( Word ) "  ->  " 0 ", " 65535 "
//   " array [ Boolean , TKind ] of "        ->  " array [ 0 .. 1 , 0 .. 2 ] of "
//   " \"a\" .. \"z\" ", " clRed .. clBlue " ->  " 97 .. 122 ", " 0 .. 2 "
// Types, enumerations and their members are found in `declarations` (the
// reference list: the working list may hold their sizes already), numbers
// and constants in `working`. What no declaration tells stays as written.
void ReadOrdinalsAsNumbers(std::string& line, const LineList& working, const LineList& declarations);

}  // namespace ct
