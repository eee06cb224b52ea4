// The plain field-reference stage: every definition with a numeric value
// visits every line. The shipped stage visits only the lines that hold the
// name as a spaced word.
#include "pipeline/sizes/field_references.h"
#include "tests/plain/plain.h"

namespace ct {

void PlainReplaceFieldReferences(LineList& working) {
  for (size_t i = 0; i < working.Count(); ++i) {
    auto defined = ValueDefinedBy(working, i);
    if (!defined) continue;
    for (size_t j = 0; j < working.Count(); ++j)
      if (auto line = WithReferencesReplaced(working, j, i, *defined)) working.Put(j, std::move(*line));
  }
}

}  // namespace ct
