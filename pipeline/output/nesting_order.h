// What the nesting sort shares with its plain version (tests/plain), so
// that both read the same members and settle the order the same way.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "text/line_list.h"

namespace ct {

// Further passes rarely change anything; the bound keeps the sort finite
// whatever the declarations.
inline constexpr int kMaxNestingPasses = 9;

// The member types of a reference line that a nesting pass looks for, in
// order: each single word written after a member's colon.
std::vector<std::string> NestingMemberTypes(std::string_view reference_line);

// Puts every structure after the tables it embeds, keeping the order of all
// lines that are already in place.
void PlaceEmbeddedTablesFirst(LineList& working);

}  // namespace ct
