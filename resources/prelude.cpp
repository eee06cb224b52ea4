#include "resources/prelude.h"

#include "resources/prelude_data.h"

namespace ct {

std::string ReadPrelude(std::string_view name) {
  if (name != kPreludeResource) return {};
  return std::string(reinterpret_cast<const char*>(kPreludeData), sizeof kPreludeData);
}

}  // namespace ct
