// The prelude: type codes, basic sizes and run-time declarations that every
// ClassTable.txt begins with, embedded into the program at build time.
#pragma once

#include <string>
#include <string_view>

namespace ct {

inline constexpr std::string_view kPreludeResource = "BaseCode";

// The bytes of the named embedded resource; empty for an unknown name.
std::string ReadPrelude(std::string_view name);

}  // namespace ct
