#include "pipeline/joined_tables.h"

#include <string>

#include "text/scan.h"

namespace ct {

void JoinTableLines(const LineList& from, LineList& to, std::string_view opener) {
  to.Clear();
  std::string joined;
  bool open = false;
  for (const std::string& line : from.Lines()) {
    joined += line;
    // Braces inside literals (messages, interface GUIDs) are text.
    const std::string structure = MaskQuotedStrings(line);
    if (Contains(structure, opener)) open = true;
    if (Contains(structure, "} ;")) open = false;
    if (open) continue;
    to.Add(std::move(joined));
    joined.clear();
  }
}

}  // namespace ct
