// Every table declaration onto one line, so that a structure is one line of
// the working list as it is of the reference list.
#include <string>

#include "pipeline/sizes.h"
#include "text/scan.h"

namespace ct {

void MergeTableLines(LineList& working, LineList& scratch) {
  scratch = working;
  working.Clear();
  std::string pending;
  bool open = false;
  for (const std::string& line : scratch.Lines()) {
    pending += line;
    // A brace inside a string constant is text, not a table.
    const std::string structure = MaskQuotedStrings(line);
    if (Contains(structure, " { ")) open = true;
    if (Contains(structure, "} ;")) open = false;
    if (open) continue;
    working.Add(std::move(pending));
    pending.clear();
  }
}

}  // namespace ct
