#include <unistd.h>

#include <cstdlib>
#include <string>

#include "tests/support/refusing_path.h"

namespace ct::testing {

namespace {

bool Chattr(const std::filesystem::path& path, const char* flag) {
  std::string command = std::string("chattr ") + flag + " '" + path.string() + "' 2>/dev/null";
  return std::system(command.c_str()) == 0;
}

}  // namespace

bool RunningAsRoot() { return ::geteuid() == 0; }

RefusingPath::RefusingPath(std::filesystem::path path) {
  std::error_code ec;
  std::filesystem::permissions(path,
                               std::filesystem::perms::owner_write | std::filesystem::perms::group_write |
                                   std::filesystem::perms::others_write,
                               std::filesystem::perm_options::remove, ec);
  bool immutable = false;
  if (RunningAsRoot()) {
    immutable = Chattr(path, "+i");
    refuses_ = immutable;
  } else {
    refuses_ = !ec;
  }
  undo_ = [path, immutable] {
    if (immutable) Chattr(path, "-i");
    std::error_code ignored;
    std::filesystem::permissions(path, std::filesystem::perms::owner_write, std::filesystem::perm_options::add,
                                 ignored);
  };
}

RefusingPath::~RefusingPath() { undo_(); }

}  // namespace ct::testing
