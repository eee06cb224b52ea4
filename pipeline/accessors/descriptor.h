// The type descriptor of one member, as the accessor format writes it after
// the member's offset.
#pragma once

#include <string>
#include <string_view>

#include "text/line_list.h"

namespace ct {

std::string ResolveTypeDescriptor(const LineList& working, const LineList& reference, const LineList& snapshot,
                                  std::string_view declared_type);

}  // namespace ct
