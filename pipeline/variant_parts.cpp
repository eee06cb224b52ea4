#include "pipeline/variant_parts.h"

#include <vector>

#include "pipeline/fields.h"
#include "text/scan.h"

namespace ct {

namespace {

struct MarkName {
  VariantMark mark;
  std::string_view name;
};

constexpr MarkName kMarkNames[] = {
    {VariantMark::kPartBegins, "case"},
    {VariantMark::kBranchBegins, "else"},
    {VariantMark::kPartEnds, "end"},
};

}  // namespace

VariantMark VariantMarkOf(std::string_view member_name) {
  const std::string name = Trim(member_name);
  for (const MarkName& mark : kMarkNames)
    if (SameText(name, mark.name)) return mark.mark;
  return VariantMark::kNone;
}

std::string VariantMarkMember(VariantMark mark) {
  for (const MarkName& known : kMarkNames)
    if (known.mark == mark) return std::string(known.name) + ":0;";
  return {};
}

std::string WithoutVariantMarks(std::string_view line) {
  std::string kept;
  Pos copied = 0;
  for (const FieldSpan& field : FieldSpans(line)) {
    if (field.colon == 0 || At(line, field.last) != ';') continue;
    // The member's name is the word in front of its colon; in the first
    // member of a table the structure's name and brace stand before it.
    Pos name_end = field.colon - 1;
    while (name_end >= field.first && At(line, name_end) == ' ') --name_end;
    Pos name_first = name_end;
    while (name_first > field.first && At(line, name_first - 1) != ' ' && At(line, name_first - 1) != '{') --name_first;
    if (name_end < field.first || VariantMarkOf(Slice(line, name_first, name_end)) == VariantMark::kNone) continue;
    kept += Slice(line, copied + 1, name_first - 1);
    copied = field.last;
    // One space stays between what stood before the mark and what follows.
    if (At(line, copied + 1) == ' ' && (kept.empty() || kept.back() == ' ')) ++copied;
  }
  if (copied == 0) return std::string(line);
  return kept + Tail(line, copied + 1);
}

}  // namespace ct
