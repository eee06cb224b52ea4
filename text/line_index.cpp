#include "text/line_index.h"

#include <algorithm>

namespace ct {

const std::vector<size_t>& LineIndex::LinesUnder(const std::vector<std::string>& lines, std::string_view key) {
  // Refiling costs a little more than filing afresh; past one refiling per
  // line, start again.
  if (!built_ || replaced_.size() > lines.size()) {
    Rebuild(lines);
  } else {
    for (size_t i : replaced_) Refile(lines, i);
    replaced_.clear();
  }
  static const Entries kNone;
  key_.assign(key);
  auto found = buckets_.find(key_);
  return found == buckets_.end() ? kNone : found->second;
}

void LineIndex::Replaced(size_t i) {
  if (built_) replaced_.push_back(i);
}

void LineIndex::Invalidate() {
  built_ = false;
  replaced_.clear();
}

void LineIndex::Rebuild(const std::vector<std::string>& lines) {
  buckets_.clear();
  filed_.assign(lines.size(), nullptr);
  replaced_.clear();
  for (size_t i = 0; i < lines.size(); ++i) {
    if (!key_of_(lines[i], key_)) continue;
    auto& bucket = *buckets_.try_emplace(key_).first;
    bucket.second.push_back(i);  // ascending, as i is
    filed_[i] = &bucket;
  }
  built_ = true;
}

void LineIndex::Refile(const std::vector<std::string>& lines, size_t i) {
  if (i >= lines.size()) return;
  // A line added at the end since the last query is not filed yet.
  if (filed_.size() < lines.size()) filed_.resize(lines.size(), nullptr);
  Buckets::value_type* old = filed_[i];
  const bool has_key = key_of_(lines[i], key_);
  if (old != nullptr && has_key && old->first == key_) return;
  if (old != nullptr) {
    Entries& entries = old->second;
    auto at = std::lower_bound(entries.begin(), entries.end(), i);
    if (at != entries.end() && *at == i) entries.erase(at);
  }
  filed_[i] = nullptr;
  if (!has_key) return;
  auto& bucket = *buckets_.try_emplace(key_).first;
  Entries& entries = bucket.second;
  auto at = std::lower_bound(entries.begin(), entries.end(), i);
  if (at == entries.end() || *at != i) entries.insert(at, i);
  filed_[i] = &bucket;
}

}  // namespace ct
