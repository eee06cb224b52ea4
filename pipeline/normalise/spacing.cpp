// Stage 2: the compact form, with spaces kept only between words.
#include "pipeline/line_forms.h"
#include "pipeline/normalise/normalise.h"

namespace ct {

void StripSymbolSpaces(LineList& list) {
  for (size_t i = 0; i < list.Count(); ++i) list.Put(i, CompactLine(list.Get(i)));
}

}  // namespace ct
