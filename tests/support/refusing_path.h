// A folder that refuses new files, or a file that refuses to be replaced,
// for whoever runs the tests.
#pragma once

#include <filesystem>
#include <functional>

namespace ct::testing {

// On POSIX systems an ordinary user meets the permission bits, which are
// taken away. Root passes every permission check, so for root the path is
// made immutable instead, where the file system allows it. On Windows an
// entry that denies everyone writing is put in the path's access list
// (Wine keeps such lists but does not enforce them: there nothing refuses).
// Everything is undone at the end.
class RefusingPath {
 public:
  explicit RefusingPath(std::filesystem::path path);
  ~RefusingPath();
  RefusingPath(const RefusingPath&) = delete;
  RefusingPath& operator=(const RefusingPath&) = delete;

  // False when neither way works here; the test then has nothing to check.
  bool refuses() const { return refuses_; }

 private:
  bool refuses_ = false;
  std::function<void()> undo_;
};

// Whether the tests run as root, for whom only immutability refuses; never
// on Windows, where nobody passes a denying entry unasked.
bool RunningAsRoot();

}  // namespace ct::testing
