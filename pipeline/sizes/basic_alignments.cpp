#include "pipeline/sizes/basic_alignments.h"

#include "text/scan.h"

namespace ct {

namespace {

struct BasicAlignment {
  std::string_view name;
  std::string_view size;
  std::string_view aligned;
};

// A member larger than 8 bytes, or of 5 to 7 bytes, aligns by its size
// prefix only. Comp and Currency (8 bytes, aligned to 8) need no entry.
constexpr BasicAlignment kAlignments[] = {
    {"Extended", "10", "8_10"},
    {"Real48", "6", "8_6"},
    {"Variant", "16", "8_16"},
    {"OleVariant", "16", "8_16"},
};

}  // namespace

std::string WithBasicTypeAlignment(std::string_view name, const std::string& value) {
  for (const BasicAlignment& basic : kAlignments)
    if (SameText(name, basic.name) && value == basic.size) return std::string(basic.aligned);
  return value;
}

}  // namespace ct
