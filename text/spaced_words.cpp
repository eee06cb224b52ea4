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

void SpacedWordIndex::Note(std::string_view text, size_t line) {
  std::string lower;
  ForEachSpacedWord(text, [&](size_t start, size_t length) {
    lower = LowerAscii(text.substr(start, length));
    if (!words_.count(lower)) return;
    std::vector<size_t>& lines = lines_[lower];
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
