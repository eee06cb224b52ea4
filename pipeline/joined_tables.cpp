#include "pipeline/joined_tables.h"
#include "pipeline/stop_request.h"

#include <string>

#include "text/scan.h"

namespace ct {

void JoinTableLines(const LineList& from, LineList& to, std::string_view opener) {
  to.Clear();
  std::string joined;
  LineOrigin origin = kNoOrigin;  // of the declaration's first line
  bool open = false;
  for (size_t i = 0; i < from.Count(); ++i) {
    ThrowIfStopRequested();
    const std::string& line = from.Get(i);
    if (joined.empty()) origin = from.Origin(i);
    joined += line;
    // Braces inside literals (messages, interface GUIDs) are text.
    const std::string structure = MaskQuotedStrings(line);
    if (Contains(structure, opener)) open = true;
    if (Contains(structure, "} ;")) open = false;
    if (open) continue;
    to.Add(std::move(joined), origin);
    joined.clear();
  }
}

}  // namespace ct
