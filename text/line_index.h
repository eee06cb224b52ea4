// An index of a line list by a key that each line may have (its definition
// name, the head of its table, ...): the ascending indices of the lines under
// one key, so that a name lookup visits those lines instead of every line.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace ct {

// The key under which a line is filed; false when the line has none.
using LineKeyFunction = bool (*)(std::string_view line, std::string& key);

class LineIndex {
 public:
  explicit LineIndex(LineKeyFunction key_of) : key_of_(key_of) {}

  LineKeyFunction key_of() const { return key_of_; }

  // The ascending indices of the lines of `lines` filed under `key`. The
  // result stays valid until the next call or the next change of the list.
  const std::vector<size_t>& LinesUnder(const std::vector<std::string>& lines, std::string_view key);

  // Line i was replaced: it is filed again at the next query. Replacing a
  // line costs nothing more, so a stage that rewrites every line and looks
  // nothing up pays for nothing.
  void Replaced(size_t i);
  // Lines were inserted, deleted or all replaced: the next query rebuilds.
  void Invalidate();

 private:
  using Entries = std::vector<size_t>;
  using Buckets = std::unordered_map<std::string, Entries>;

  void Rebuild(const std::vector<std::string>& lines);
  void Refile(const std::vector<std::string>& lines, size_t i);

  LineKeyFunction key_of_;
  bool built_ = false;
  Buckets buckets_;
  // Where each line is filed (nullptr: under no key). Nodes of an
  // unordered_map stay where they are when it grows.
  std::vector<Buckets::value_type*> filed_;
  std::vector<size_t> replaced_;
  std::string key_;  // scratch, kept to reuse its buffer
};

}  // namespace ct
