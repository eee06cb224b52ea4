// The reference list: the working list with every table declaration joined
// onto one line, read back line by line by the later stages.
#include <string>

#include "pipeline/tables.h"

namespace ct {

void BuildReferenceList(const LineList& working, LineList& reference) {
  reference.Clear();
  std::string joined;
  bool open = false;
  for (const std::string& line : working.Lines()) {
    joined += line;
    if (Contains(line, "{")) open = true;
    if (Contains(line, "} ;")) open = false;
    if (open) continue;
    reference.Add(std::move(joined));
    joined.clear();
  }
  // A table that nothing closed is left out.
}

}  // namespace ct
