// The two halves of the field-reference stage, shared with its plain
// version (tests/plain) so that both make exactly the same edits.
#pragma once

#include <cstddef>
#include <optional>
#include <string>

#include "text/line_list.h"

namespace ct {

// The name that line i defines and its numeric value, when it has one.
struct NamedValue {
  std::string name;
  std::string value;
};

std::optional<NamedValue> ValueDefinedBy(const LineList& working, size_t i);

// Line j with the uses of the name replaced; the definition line itself and
// lines that define nothing are passed over.
std::optional<std::string> WithReferencesReplaced(const LineList& working, size_t j, size_t i,
                                                  const NamedValue& defined);

}  // namespace ct
