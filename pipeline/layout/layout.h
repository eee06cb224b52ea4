// Stages 17 to 22: member offsets and the three size fields of every
// structure, a derived class's members placed after its parent's instance,
// the size fields removed again.
//
//   takes (working):  " TUserItem = { MakeIndex : 4 ; wIndex : 2 ; ... } ; "
//   gives (working):  " TUserItem = { nWholeSize : 24 ; nAddSize : 24 ; nMaxSize : 4 ; MakeIndex : 0 ; ... } ; "
//                     and, once the offsets are final, " TUserItem = { MakeIndex : 0 ; wIndex : 4 ; ... } ; "
//
// The forms and what each list holds after each phase: docs/line-formats.md.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "pipeline/front_end.h"
#include "pipeline/run_options.h"
#include "text/line_list.h"

namespace ct {

struct LayoutOutcome {
  bool complete = false;
  // The structures the layout could not finish, by name: the script leaves
  // them out.
  std::vector<std::string> left_out;
};

// Runs evaluation and layout passes until a whole cycle changes no line. On
// success appends the success line and reports complete; otherwise writes
// the failure report, naming the last unresolved line of the final cycle,
// then logs and lists as a problem every structure left unresolved, which
// the script will leave out, with the member and type it stopped at and its
// line of the input, and every other line left unresolved as a problem.
// `declarations` (the reference list) tells which class an alias named as a
// parent stands for, and how a member's type was written. `on_cycle` learns
// the number of each cycle as it begins.
LayoutOutcome RunLayoutCycles(LineList& working, Reporter& reporter, RecordPadding padding = RecordPadding::kFour,
                              const LineList& declarations = LineList(),
                              const std::function<void(size_t)>& on_cycle = {});

// Empty structures get a whole size of 0, which the later stages need.
void GiveEmptyStructuresZeroSize(LineList& working);

// The size fields removed once the offsets are final.
void RemoveSizeFields(LineList& working);

}  // namespace ct
