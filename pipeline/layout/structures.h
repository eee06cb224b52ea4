// One layout pass over the working list, which the layout cycles repeat.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "pipeline/run_options.h"
#include "text/line_list.h"

namespace ct {

struct UnresolvedLine {
  size_t index = 0;    // 0-based line index
  std::string value;   // the member value that did not resolve
  std::string member;  // the member whose value it is; empty for a class's parent
};

struct LayoutPass {
  std::optional<size_t> last_unresolved;  // 0-based line index
  std::string unresolved_value;
  std::vector<UnresolvedLine> unresolved;  // every line left unresolved, in list order
  bool changed = false;  // the pass wrote back at least one changed line
};

// One pass over all lines, top to bottom. A structure line whose member
// values all resolve (numbers, sized forms, array values, constants, laid-out
// structures) receives its offsets and its nWholeSize, nAddSize and nMaxSize
// fields, which are also given to declarations of the same name. A line with
// a value that does not resolve stays as it was; the pass names the last such
// line and its value. Lines laid out earlier in the pass serve later ones,
// and a line laid out serves at once the earlier lines that waited for its
// name; each line is tried once more for each structure it waited for.
// A class with a parent (an inheritance line names it) is laid out once the
// parent is: its own members start at the end of the parent's instance, so
// its offsets count from the start of the whole instance. Until then the
// line is unresolved, its value the parent's name. A parent named through
// an alias is found through the alias's declaration in `declarations` (the
// reference list).
LayoutPass LayOutStructures(LineList& working, RecordPadding padding = RecordPadding::kFour,
                            const LineList& declarations = LineList());

}  // namespace ct
