// Member offsets and the three size fields of every structure.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "pipeline/front_end.h"
#include "text/line_list.h"

namespace ct {

struct LayoutPass {
  std::optional<size_t> last_unresolved;  // 0-based line index
  std::string unresolved_value;
  bool changed = false;  // the pass wrote back at least one changed line
};

LayoutPass LayOutStructures(LineList& working);

// Runs evaluation and layout passes until nothing more resolves. On success
// appends the success line and returns true; otherwise writes the failure
// report and returns false.
bool RunLayoutCycles(LineList& working, Reporter& reporter);

void GiveEmptyStructuresZeroSize(LineList& working);

}  // namespace ct
