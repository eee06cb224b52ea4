// The edits of the name stages, shared with their plain versions so that
// both make exactly the same ones.
#include "pipeline/normalise/name_edits.h"

#include <string>

#include "text/scan.h"

namespace ct {

void LowerArrayKeyword(std::string& s) { s = ReplaceAllText(s, " array ", " array "); }

std::string DeclaredClassName(const std::string& line) {
  const std::string emptied = WithEmptiedStrings(line);
  if (!ContainsText(emptied, " class ")) return {};
  std::string name = GetValidToken(emptied, "=").token;
  const std::string bare = Trim(name);
  // A blank name would turn every ": " and "= " of the list into a pointer.
  if (bare.empty() || Contains(bare, " ")) return {};
  return name;
}

void MarkUsesAsPointers(std::string& s, const std::string& name) {
  const std::string pointer = "^" + TrimLeft(name);
  s = ReplaceAllText(s, " :" + name, " : " + pointer);
  s = ReplaceAllText(s, " =" + name, " = " + pointer);
  s = ReplaceAllText(s, " of" + name, " of " + pointer);
}

}  // namespace ct
