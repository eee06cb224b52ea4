#include "tests/support/refusing_path.h"

#include <unistd.h>

#include <cstdlib>
#include <string>

namespace ct::testing {

namespace {

bool Chattr(const std::filesystem::path& path, const char* flag) {
  std::string command = std::string("chattr ") + flag + " '" + path.string() + "' 2>/dev/null";
  return std::system(command.c_str()) == 0;
}

}  // namespace

bool RunningAsRoot() { return ::geteuid() == 0; }

RefusingPath::RefusingPath(std::filesystem::path path) : path_(std::move(path)) {
  std::error_code ec;
  std::filesystem::permissions(path_,
                               std::filesystem::perms::owner_write | std::filesystem::perms::group_write |
                                   std::filesystem::perms::others_write,
                               std::filesystem::perm_options::remove, ec);
  if (RunningAsRoot()) {
    immutable_ = Chattr(path_, "+i");
    refuses_ = immutable_;
  } else {
    refuses_ = !ec;
  }
}

RefusingPath::~RefusingPath() {
  if (immutable_) Chattr(path_, "-i");
  std::error_code ec;
  std::filesystem::permissions(path_, std::filesystem::perms::owner_write, std::filesystem::perm_options::add, ec);
}

}  // namespace ct::testing
