// Words with a space on either side, the way the loosened form sets every
// name apart, and an index of lines by such words. A search for " Name "
// (ignoring case) can only succeed in a line that holds Name as a spaced
// word, so rewriting stages can visit just those lines.
#pragma once

#include <bitset>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace ct {

// Calls visit(start, length) (0-based) for every run of bytes other than
// spaces that has a space right before and right after it. The first word
// of a text that does not begin with a space, and the last of one that does
// not end with one, are not spaced words.
template <class Visit>
void ForEachSpacedWord(std::string_view s, Visit&& visit) {
  size_t i = 0;
  // i moves past one space or one word every round.
  while (i < s.size()) {
    if (s[i] == ' ') {
      ++i;
      continue;
    }
    size_t end = s.find(' ', i);
    if (end == std::string_view::npos) return;
    if (i > 0) visit(i, end - i);
    i = end;
  }
}

// A spaced word inside `pattern`: wherever the pattern occurs in a text,
// that word is a spaced word of the text. Empty when the pattern has none.
std::string_view SpacedWordWithin(std::string_view pattern);

// The lines that hold each of a chosen set of words (compared in lower
// case) as spaced words. Lines are noted again when they change and never
// forgotten, so the lines given for a word are a superset: the caller's
// own test decides.
class SpacedWordIndex {
 public:
  explicit SpacedWordIndex(std::unordered_set<std::string> lower_words);

  void Note(std::string_view text, size_t line);
  // Ascending and once each; nothing when the word was not chosen, which
  // leaves the caller to visit every line.
  std::optional<std::vector<size_t>> LinesWith(std::string_view word) const;

 private:
  bool Chosen(std::string_view word);

  std::unordered_set<std::string> words_;
  std::unordered_map<std::string, std::vector<size_t>> lines_;
  // Most words of a line are symbols and numbers: their first byte and
  // length rule them out before any hashing.
  std::bitset<256> first_bytes_;
  size_t shortest_ = static_cast<size_t>(-1);
  size_t longest_ = 0;
  std::string lower_;  // scratch, kept to reuse its buffer
};

}  // namespace ct
