// Placeholder: the accessor stages leave the lists unchanged until built.
#include "pipeline/accessors.h"

namespace ct {

bool SplitMemberNames(std::string&) { return false; }
std::string ResolveTypeDescriptor(const LineList&, const LineList&, const LineList&, std::string_view type) {
  return std::string(type);
}
void ConvertToAccessorFormat(LineList&, LineList&, const LineList&) {}

}  // namespace ct
