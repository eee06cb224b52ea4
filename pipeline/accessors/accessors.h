// Stages 23 to 28: declarations restored from the reference list and every
// member put into accessor format: its offset, then its type descriptor.
//
//   takes (working):    " TUserMagic = { MagicInfo : 0 ; wMagIdx : 4 ; ... } ; "
//         (reference):  " TUserMagic = { MagicInfo : ^TMagicInfo ; wMagIdx : Word ; ... } ; "
//   gives (working):    " TUserMagic = { MagicInfo : { 0 , - 1 , TMagicInfo } ; wMagIdx : { 4 , vt_Word } ; ... } ; "
//
// The forms and what each list holds after each phase: docs/line-formats.md.
#pragma once

#include "pipeline/front_end.h"
#include "text/line_list.h"

namespace ct {

// Both return false when they met a length mismatch (reported already).
bool RestoreDeclarations(LineList& working, const LineList& reference, Reporter& reporter);
void EvaluateOperators(LineList& list);
void ConvertToAccessorFormat(LineList& working, LineList& reference, const LineList& snapshot);
bool RemoveVariableDeclarations(LineList& working, LineList& reference, Reporter& reporter);

}  // namespace ct
