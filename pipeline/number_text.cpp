#include "pipeline/number_text.h"

#include <string>

#include "text/scan.h"

namespace ct {

namespace {
thread_local NumberFaultListener* g_number_fault_listener = nullptr;
}

ScopedNumberFaultListener::ScopedNumberFaultListener(NumberFaultListener* listener)
    : previous_(g_number_fault_listener) {
  g_number_fault_listener = listener;
}

ScopedNumberFaultListener::~ScopedNumberFaultListener() { g_number_fault_listener = previous_; }

bool NormaliseNumberText(std::string& value, int& prefix) {
  prefix = -1;
  if (IsIntegerText(value)) return true;
  if (Trim(value).empty()) return false;
  if (value.size() >= 3 && value[0] == '-' && value[1] == ' ' && IsIntegerText(Tail(value, 3))) {
    value.erase(1, 1);
    return true;
  }
  if (value.size() >= 2 && value[0] == '$' && IsIntegerText(Tail(value, 2))) {
    value = std::to_string(HexToInt64(value));
    return true;
  }
  // The pipeline writes only two sized shapes, "1_256" and the array value
  // "4A40"; any other text, such as "7-1" (a constant expression with its
  // spaces removed), is left to the expression passes.
  if (value.size() < 3 || (value[1] != '_' && value[1] != 'A')) return false;
  std::string tail = Tail(value, 3);
  if (IsIntegerText(tail)) {
    if (value[0] >= '0' && value[0] <= '9') {
      prefix = value[0] - '0';
      value = std::move(tail);
      return true;
    }
    // A malformed value is reported and then treated as not numeric, so that
    // no later step converts it to an integer.
    if (g_number_fault_listener) g_number_fault_listener->OnMalformedNumber(value);
    return false;
  }
  return false;
}

}  // namespace ct
