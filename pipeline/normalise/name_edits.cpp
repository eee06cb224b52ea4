// Name spelling and class references. Both stages compare every qualifying
// line with every line of the list; they are the plain reference versions
// that any faster equivalent must match line for line.
#include <string>

#include "pipeline/normalise/name_edits.h"
#include "pipeline/normalise/normalise.h"
#include "pipeline/outside_strings.h"

namespace ct {

namespace {

// Gives every whole-word occurrence of `key` the key's own spelling. The
// length never changes, and each search starts one byte further on.
void RespellEach(std::string& s, std::string_view key) {
  for (Pos p = FindText(s, key, 1); p != 0; p = FindText(s, key, p + 1))
    s.replace(static_cast<size_t>(p - 1), key.size(), key);
}

}  // namespace

void LowerArrayKeyword(std::string& s) { s = ReplaceAllText(s, " array ", " array "); }

void UnifyCase(LineList& list) {
  for (size_t k = 0; k < list.Count(); ++k) {
    // Read now: the passes for earlier lines may have respelled this word.
    const std::string key = " " + GetValidToken(list.Get(k), " ").token + " ";
    RewriteEachLineOutsideStrings(list, [&](std::string& s) {
      RespellEach(s, key);
      LowerArrayKeyword(s);
    });
  }
}

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

void MarkClassPointers(LineList& list) {
  for (size_t i = 0; i < list.Count(); ++i) {
    const std::string name = DeclaredClassName(list.Get(i));
    if (name.empty()) continue;
    RewriteEachLineOutsideStrings(list, [&](std::string& s) { MarkUsesAsPointers(s, name); });
  }
}

}  // namespace ct
