// Field groups split into single fields: "a,b:Integer;" declares two fields
// of one type, and every later stage expects one name per field.
#include <string>

#include "pipeline/fields.h"
#include "pipeline/line_forms.h"
#include "pipeline/sizes/sizes.h"
#include "pipeline/stop_request.h"

namespace ct {

void SplitFieldGroups(LineList& working) {
  for (size_t i = 0; i < working.Count(); ++i) {
    ThrowIfStopRequested();
    std::string line = CompactLine(working.Get(i));
    SplitGroupsInCompactLine(line);
    working.Put(i, std::move(line));
  }
  LoosenText(working);
}

}  // namespace ct
