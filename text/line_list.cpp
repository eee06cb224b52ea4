#include "text/line_list.h"

namespace ct {

LineList::LineList(LineList&& other) noexcept
    : lines_(std::move(other.lines_)), origins_(std::move(other.origins_)), indexed_(other.indexed_) {
  other.lines_.clear();
  other.origins_.clear();
  other.Invalidate();
}

LineList& LineList::operator=(const LineList& other) {
  if (this != &other) {
    lines_ = other.lines_;
    origins_ = other.origins_;
    Invalidate();
  }
  return *this;
}

LineList& LineList::operator=(LineList&& other) noexcept {
  if (this != &other) {
    lines_ = std::move(other.lines_);
    origins_ = std::move(other.origins_);
    other.lines_.clear();
    other.origins_.clear();
    other.Invalidate();
    Invalidate();
  }
  return *this;
}

LineList::~LineList() = default;

void LineList::Put(size_t i, std::string line) {
  lines_.at(i) = std::move(line);
  for (auto& index : indexes_) index->Replaced(i);
}

void LineList::Insert(size_t i, std::string line, LineOrigin origin) {
  if (i > lines_.size()) i = lines_.size();
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(i), std::move(line));
  origins_.insert(origins_.begin() + static_cast<std::ptrdiff_t>(i), origin);
  Invalidate();
}

void LineList::Delete(size_t i) {
  if (i >= lines_.size()) return;
  lines_.erase(lines_.begin() + static_cast<std::ptrdiff_t>(i));
  origins_.erase(origins_.begin() + static_cast<std::ptrdiff_t>(i));
  Invalidate();
}

void LineList::Add(std::string line, LineOrigin origin) {
  lines_.push_back(std::move(line));
  origins_.push_back(origin);
  for (auto& index : indexes_) index->Replaced(lines_.size() - 1);
}

void LineList::Clear() {
  lines_.clear();
  origins_.clear();
  Invalidate();
}

void LineList::SetIndexed(bool indexed) {
  indexed_ = indexed;
  if (!indexed_) indexes_.clear();
}

const std::vector<size_t>& LineList::LinesUnder(LineKeyFunction key_of, std::string_view key) const {
  LineIndex* index = nullptr;
  for (auto& candidate : indexes_)
    if (candidate->key_of() == key_of) index = candidate.get();
  if (index == nullptr) index = indexes_.emplace_back(std::make_unique<LineIndex>(key_of)).get();
  return index->LinesUnder(lines_, key);
}

void LineList::Invalidate() {
  for (auto& index : indexes_) index->Invalidate();
}

std::string LineList::Text() const {
  size_t total = 0;
  for (const auto& l : lines_) total += l.size() + 2;
  std::string text;
  text.reserve(total);
  for (const auto& l : lines_) {
    text += l;
    text += "\r\n";
  }
  return text;
}

void LineList::SetText(std::string_view text) {
  lines_ = SplitLines(text);
  origins_.resize(lines_.size());
  for (size_t i = 0; i < origins_.size(); ++i) origins_[i] = static_cast<LineOrigin>(i + 1);
  Invalidate();
}

std::vector<std::string> SplitLines(std::string_view text) {
  std::vector<std::string> lines;
  size_t start = 0;
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c != '\r' && c != '\n') continue;
    lines.emplace_back(text.substr(start, i - start));
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
    start = i + 1;
  }
  if (start < text.size()) lines.emplace_back(text.substr(start));
  return lines;
}

}  // namespace ct
