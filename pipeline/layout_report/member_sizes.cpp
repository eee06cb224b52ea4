#include "pipeline/layout_report/member_sizes.h"

#include <vector>

#include "pipeline/layout/expressions.h"
#include "pipeline/layout_report/structure_lines.h"
#include "pipeline/operands.h"

namespace ct {

MemberSizes OwnMemberSizes(const LineList& sized, const LineList& laid_out) {
  // The sized structures go below the laid-out file, whose constants and
  // structures the evaluation then finds first, as the layout cycles did.
  LineList context = laid_out;
  std::vector<StructureLine> structures = StructuresOf(sized);
  const size_t first = context.Count();
  for (const StructureLine& structure : structures) context.Add(sized.Get(structure.index));
  // Each pass either changes a line, which it can do only finitely often,
  // or ends the loop.
  while (EvaluateExpressions(context)) {
  }
  MemberSizes sizes;
  for (size_t k = 0; k < structures.size(); ++k) {
    std::optional<StructureLine> evaluated = ReadStructureLine(context.Get(first + k));
    if (!evaluated) continue;
    std::map<std::string, std::int64_t>& members = sizes[evaluated->name];
    for (const auto& [name, value] : evaluated->members)
      if (std::optional<Operand> size = ResolveMemberValue(context, value)) members[name] = size->value;
  }
  return sizes;
}

}  // namespace ct
