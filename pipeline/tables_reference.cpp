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
    // Braces inside literals (messages, interface GUIDs) are text.
    const std::string structure = MaskQuotedStrings(line);
    if (Contains(structure, "{")) open = true;
    if (Contains(structure, "} ;")) open = false;
    if (open) continue;
    reference.Add(std::move(joined));
    joined.clear();
  }
  // A table that nothing closed is left out.
}

}  // namespace ct
