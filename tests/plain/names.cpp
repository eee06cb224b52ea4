// The plain name stages: for every qualifying line, every line of the list
// is rewritten. The shipped stages visit only the lines that can change.
#include <string>

#include "pipeline/normalise/name_edits.h"
#include "pipeline/outside_strings.h"
#include "tests/plain/plain.h"
#include "text/scan.h"

namespace ct {

namespace {

// Gives every whole-word occurrence of `key` outside the masked field names
// the key's own spelling. The length never changes, and each search starts
// one byte further on.
void RespellEach(std::string& s, std::string_view key) {
  const std::string masked = MaskFieldNames(s);
  for (Pos p = FindText(masked, key, 1); p != 0; p = FindText(masked, key, p + 1))
    s.replace(static_cast<size_t>(p - 1), key.size(), key);
}

}  // namespace

void PlainUnifyCase(LineList& list) {
  RewriteEachLineOutsideStrings(list, DropUnitQualifiers);
  for (size_t k = 0; k < list.Count(); ++k) {
    // Read now: the passes for earlier lines may have respelled this word.
    const std::string emptied = WithEmptiedStrings(list.Get(k));
    const std::string source = SpellingSource(emptied, MaskFieldNames(emptied));
    RewriteEachLineOutsideStrings(list, [&](std::string& s) {
      if (!source.empty()) RespellEach(s, " " + source + " ");
      LowerReservedWords(s);
    });
  }
}

void PlainMarkClassPointers(LineList& list) {
  for (size_t i = 0; i < list.Count(); ++i) {
    const std::string name = DeclaredClassName(list.Get(i));
    if (name.empty()) continue;
    RewriteEachLineOutsideStrings(list, [&](std::string& s) { MarkUsesAsPointers(s, name); });
  }
}

}  // namespace ct
