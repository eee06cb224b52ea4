// Stages 13 to 16: types replaced by their sizes, each table merged onto one
// line, field groups split and names with a numeric value replaced by it.
//
//   takes (working):  " TUserItem = { "  " MakeIndex : Integer ; "  ...  "} ; "
//   gives (working):  " TUserItem = { MakeIndex : 4 ; wIndex : 2 ; ... btValue : [ 0 .. 13 ] of 1 ; } ; "
//                     " ShortString = 1_256 ; "   (the sized form: 256 bytes aligned to 1)
//
// The forms and what each list holds after each phase: docs/line-formats.md.
#pragma once

#include "text/line_list.h"

namespace ct {

// Each field of each line gets the size its notation tells; the rules that
// act on a first occurrence act once per field. A set over a named type
// finds that type's declaration as written in `declarations` (the reference
// list), since its line in the working list may hold its size already.
void SubstituteTypeSizes(LineList& working, const LineList& declarations);
// Rebuilds the working list from a copy in `scratch`: each table, from its
// " { " to its "} ;" (both outside strings), becomes one line.
void MergeTableLines(LineList& working, LineList& scratch);
void SplitFieldGroups(LineList& working);
// Replaces every use of a name whose definition has a numeric value by that
// value, line after line, so that a chain of definitions resolves in one pass.
void ReplaceFieldReferences(LineList& working);

}  // namespace ct
