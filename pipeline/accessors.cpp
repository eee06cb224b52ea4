// Placeholder: the accessor stages leave the lists unchanged until built.
#include "pipeline/accessors.h"

namespace ct {

bool RestoreDeclarations(LineList&, const LineList&, Reporter&) { return true; }
void EvaluateOperators(LineList&) {}
bool SplitMemberNames(std::string&) { return false; }
std::string ResolveTypeDescriptor(const LineList&, const LineList&, const LineList&, std::string_view type) {
  return std::string(type);
}
void ConvertToAccessorFormat(LineList&, LineList&, const LineList&) {}
bool RemoveVariableDeclarations(LineList&, LineList&, Reporter&) { return true; }

}  // namespace ct
