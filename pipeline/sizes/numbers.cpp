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

std::optional<std::int64_t> NumberOrConstant(const LineList& working, std::string text) {
  int prefix = -1;
  if (!ResolveNumber(working, text, prefix)) return std::nullopt;
  return ParseInt64(text);
}

}  // namespace ct
