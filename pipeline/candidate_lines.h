// The lines a name scan has to test: every line of a plain list, or only
// those that an indexed list files under the name. The scan's own test
// decides either way, so both give the same first (or last) match.
#pragma once

#include <algorithm>
#include <cstddef>
#include <numeric>
#include <string_view>
#include <vector>

#include "text/line_list.h"
#include "text/scan.h"

namespace ct {

inline constexpr size_t kNoLine = static_cast<size_t>(-1);

// 0 to the list's last index: what a scan visits without an index.
inline std::vector<size_t> EveryLine(const LineList& list) {
  std::vector<size_t> every(list.Count());
  std::iota(every.begin(), every.end(), size_t{0});
  return every;
}

class CandidateLines {
 public:
  // `key` is compared with the keys of `key_of`, which are lower-case.
  CandidateLines(const LineList& list, LineKeyFunction key_of, std::string_view key) : list_(list) {
    if (list.Indexed()) filed_ = &list.LinesUnder(key_of, LowerAscii(key));
  }

  // The first index from `from` up to but excluding `to` whose line passes
  // `test`, or kNoLine.
  template <class Test>
  size_t First(size_t from, size_t to, Test&& test) const {
    to = std::min(to, list_.Count());
    if (filed_ == nullptr) {
      for (size_t k = from; k < to; ++k)
        if (test(list_.Get(k))) return k;
      return kNoLine;
    }
    for (auto it = std::lower_bound(filed_->begin(), filed_->end(), from); it != filed_->end() && *it < to; ++it)
      if (test(list_.Get(*it))) return *it;
    return kNoLine;
  }

  // The same from the other end: the last such index.
  template <class Test>
  size_t Last(size_t from, size_t to, Test&& test) const {
    to = std::min(to, list_.Count());
    if (filed_ == nullptr) {
      for (size_t k = to; k > from; --k)
        if (test(list_.Get(k - 1))) return k - 1;
      return kNoLine;
    }
    for (auto it = std::lower_bound(filed_->begin(), filed_->end(), to); it != filed_->begin();) {
      --it;
      if (*it < from) break;
      if (test(list_.Get(*it))) return *it;
    }
    return kNoLine;
  }

  // The candidate indices themselves, ascending, for a scan that rewrites
  // the lines it visits (a copy: rewriting refiles them).
  std::vector<size_t> All() const { return filed_ != nullptr ? *filed_ : EveryLine(list_); }

 private:
  const LineList& list_;
  const std::vector<size_t>* filed_ = nullptr;  // null: every line
};

}  // namespace ct
