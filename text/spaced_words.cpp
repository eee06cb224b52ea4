#include "text/spaced_words.h"

#include <algorithm>

#include "text/scan.h"

namespace ct {

std::string_view SpacedWordWithin(std::string_view pattern) {
  std::string_view found;
  ForEachSpacedWord(pattern, [&](size_t start, size_t length) {
    if (found.empty()) found = pattern.substr(start, length);
  });
  return found;
}

SpacedWordIndex::SpacedWordIndex(std::unordered_set<std::string> lower_words) : words_(std::move(lower_words)) {
  for (const std::string& word : words_) {
    if (word.empty()) continue;
    first_bytes_.set(static_cast<unsigned char>(word[0]));
    shortest_ = std::min(shortest_, word.size());
    longest_ = std::max(longest_, word.size());
  }
}

bool SpacedWordIndex::Chosen(std::string_view word) {
  if (word.size() < shortest_ || word.size() > longest_) return false;
  if (!first_bytes_.test(static_cast<unsigned char>(LowerAscii(word[0])))) return false;
  lower_.assign(word);
  for (char& c : lower_) c = LowerAscii(c);
  return words_.count(lower_) != 0;
}

void SpacedWordIndex::Note(std::string_view text, size_t line) {
  ForEachSpacedWord(text, [&](size_t start, size_t length) {
    if (!Chosen(text.substr(start, length))) return;
    std::vector<size_t>& lines = lines_[lower_];
    if (lines.empty() || lines.back() != line) lines.push_back(line);
  });
}

std::optional<std::vector<size_t>> SpacedWordIndex::LinesWith(std::string_view word) const {
  const std::string lower = LowerAscii(word);
  if (!words_.count(lower)) return std::nullopt;
  auto found = lines_.find(lower);
  if (found == lines_.end()) return std::vector<size_t>();
  std::vector<size_t> lines = found->second;
  std::sort(lines.begin(), lines.end());
  lines.erase(std::unique(lines.begin(), lines.end()), lines.end());
  return lines;
}

}  // namespace ct
