#include "pipeline/sizes/numbers.h"

#include "pipeline/lookups.h"
#include "pipeline/number_text.h"
#include "text/scan.h"

namespace ct {

bool ResolveNumber(const LineList& working, std::string& text, int& prefix) {
  prefix = -1;
  if (text.empty()) return false;
  return NormaliseNumberText(text, prefix) || FindNumericValue(working, text, prefix);
}

}  // namespace ct
