// Stages 1 to 7: from the raw input to the loosened form, one statement a
// line, names spelt as declared and classes used as pointers.
//
//   takes (the input):  "  MAXBAGITEM    = 46;"
//                       "    m_Target: TBaseObject;"
//   gives (working):    " MAXBAGITEM = 46 ; "
//                       " m_Target : ^TBaseObject ; "
//
// The forms and what each list holds after each phase: docs/line-formats.md.
#pragma once

#include "pipeline/nesting.h"
#include "text/line_list.h"

namespace ct {

void EscapeInputText(LineList& list);
// Records in `state` the first "}" that closes no comment or, failing that,
// where a comment that the input leaves open began.
void RemoveComments(LineList& list, NestingState& state);
void StripSymbolSpaces(LineList& list);
void JoinStatements(const LineList& source, LineList& working, NestingState& state);
void DeleteJunkLines(LineList& list);
void UnifyCase(LineList& list);
void MarkClassPointers(LineList& list);

}  // namespace ct
