// A folder that refuses new files, or a file that refuses to be replaced,
// for whoever runs the tests.
#pragma once

#include <filesystem>

namespace ct::testing {

// An ordinary user meets the permission bits, which are taken away. Root
// passes every permission check, so for root the path is made immutable
// instead, where the file system allows it. Everything is undone at the end.
class RefusingPath {
 public:
  explicit RefusingPath(std::filesystem::path path);
  ~RefusingPath();
  RefusingPath(const RefusingPath&) = delete;
  RefusingPath& operator=(const RefusingPath&) = delete;

  // False when neither way works here; the test then has nothing to check.
  bool refuses() const { return refuses_; }

 private:
  std::filesystem::path path_;
  bool immutable_ = false;
  bool refuses_ = false;
};

// Whether the tests run as root, for whom only immutability refuses.
bool RunningAsRoot();

}  // namespace ct::testing
