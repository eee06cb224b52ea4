// The basic types that a 32-bit compiler aligns otherwise than by their
// size: their sizes stand in the prelude's size table, their alignments here.
#pragma once

#include <string>
#include <string_view>

namespace ct {

// `value`, the size a definition gives `name`, in the sized form with the
// type's alignment as its prefix ("8_10" for Extended = 10) when `name` is
// such a basic type and `value` its usual size; otherwise `value` itself.
std::string WithBasicTypeAlignment(std::string_view name, const std::string& value);

}  // namespace ct
