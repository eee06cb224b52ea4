// Name spelling and class references in time proportional to the text: the
// same results as the plain stages, which compare every line with every
// other, found by visiting only the lines and words that can change.
#include <algorithm>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "pipeline/candidate_lines.h"
#include "pipeline/normalise/name_edits.h"
#include "pipeline/normalise/normalise.h"
#include "pipeline/outside_strings.h"
#include "pipeline/stop_request.h"
#include "text/spaced_words.h"

namespace ct {

namespace {

using Spellings = std::unordered_map<std::string, std::string>;

// Every spaced word that has a spelling (by its lower-case form) and is no
// field's name takes it, then the reserved words are lowered, as after each
// pass.
std::string Respelled(std::string emptied, const std::string& masked, const Spellings& spellings,
                      bool after_a_pass) {
  std::string lower;
  ForEachSpacedWord(emptied, [&](size_t start, size_t length) {
    if (masked[start] == kMaskByte) return;
    lower = LowerAscii(std::string_view(emptied).substr(start, length));
    auto found = spellings.find(lower);
    // Same length (it differs in case only); written in place, so the
    // walk's view of the text stays valid.
    if (found != spellings.end()) std::copy(found->second.begin(), found->second.end(), emptied.begin() + start);
  });
  if (after_a_pass) LowerReservedWords(emptied);
  return emptied;
}

}  // namespace

// The plain stage drops unit qualifiers, then respells, for each line in
// turn, every occurrence of the line's first word (a space on either side)
// in every line, field names apart, and lowers the reserved words.
// Respelling only changes ASCII case, so which bytes each pass touches never
// changes: the bytes of a spaced word are written by the passes whose first
// word equals it ignoring case, the last of which decides, and the reserved
// words (never a first word that respells) are lowered after every pass. So
// a line's text at any point follows from its original text and the last
// spelling seen of each word; only the first words have to be read in
// order, each from its line as the passes before it left it.
void UnifyCase(LineList& list) {
  const size_t count = list.Count();
  std::vector<std::string> emptied(count);
  std::vector<std::string> masked(count);
  for (size_t k = 0; k < count; ++k) {
    emptied[k] = WithEmptiedStrings(list.Get(k));
    DropUnitQualifiers(emptied[k]);
    masked[k] = MaskFieldNames(emptied[k]);
  }
  Spellings spellings;
  for (size_t k = 0; k < count; ++k) {
    std::string word = SpellingSource(Respelled(emptied[k], masked[k], spellings, k > 0), masked[k]);
    if (word.empty()) continue;
    spellings[LowerAscii(word)] = std::move(word);
  }
  for (size_t k = 0; k < count; ++k) {
    std::string line = Respelled(std::move(emptied[k]), masked[k], spellings, true);
    RestoreQuotedStrings(list.Get(k), line);
    if (line != list.Get(k)) list.Put(k, std::move(line));
  }
}

// The plain stage replaces, for each class declared, its uses after ":",
// "=" and "of" in every line. A use of " Name " holds Name as a spaced word,
// so only the lines holding that word are rewritten, with the same rewrite.
// A name without a spaced word, or one that was no class name before the
// passes (names only ever stop being class names), takes the walk over
// every line.
void MarkClassPointers(LineList& list) {
  std::unordered_set<std::string> names;
  for (const std::string& line : list.Lines()) {
    const std::string name = DeclaredClassName(line);
    if (std::string_view word = SpacedWordWithin(name); !word.empty()) names.insert(LowerAscii(word));
  }
  // Searches run on the lines with their strings emptied, and so do the
  // notes.
  SpacedWordIndex uses(std::move(names));
  for (size_t k = 0; k < list.Count(); ++k) uses.Note(WithEmptiedStrings(list.Get(k)), k);
  for (size_t i = 0; i < list.Count(); ++i) {
    ThrowIfStopRequested();
    const std::string name = DeclaredClassName(list.Get(i));
    if (name.empty()) continue;
    auto rewrite = [&](std::string& s) { MarkUsesAsPointers(s, name); };
    std::optional<std::vector<size_t>> lines;
    if (std::string_view word = SpacedWordWithin(name); !word.empty()) lines = uses.LinesWith(word);
    if (!lines) lines = EveryLine(list);
    for (size_t k : *lines) {
      std::string line = RewriteOutsideStrings(list.Get(k), rewrite);
      if (line == list.Get(k)) continue;
      uses.Note(WithEmptiedStrings(line), k);
      list.Put(k, std::move(line));
    }
  }
}

}  // namespace ct
