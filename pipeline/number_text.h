// Numeric value texts as the declarations write them: decimal, negative
// with a space after the sign, hexadecimal ("$FF") and the sized form
// ("1_256": a size of 256 aligned to 1 byte).
#pragma once

#include <string>
#include <string_view>

namespace ct {

// Receives the malformed-number report of NormaliseNumberText. The report
// arises deep inside list lookups, so the listener is installed per thread by
// whoever runs the pipeline instead of being threaded through every call.
class NumberFaultListener {
 public:
  virtual ~NumberFaultListener() = default;
  virtual void OnMalformedNumber(std::string_view value) = 0;
};

class ScopedNumberFaultListener {
 public:
  explicit ScopedNumberFaultListener(NumberFaultListener* listener);
  ~ScopedNumberFaultListener();
  ScopedNumberFaultListener(const ScopedNumberFaultListener&) = delete;
  ScopedNumberFaultListener& operator=(const ScopedNumberFaultListener&) = delete;

 private:
  NumberFaultListener* previous_;
};

// Reads a numeric value text in place; `prefix` receives the size prefix of
// the sized form or -1.
bool NormaliseNumberText(std::string& value, int& prefix);

}  // namespace ct
