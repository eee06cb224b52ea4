// What every system does alike with whole files; the calls into the
// system itself are in platform/files_posix.cpp and files_windows.cpp.
#include "text/files.h"

#include <string_view>

#include "text/paths.h"

namespace ct {

namespace {

bool IsTemporaryOf(const std::string& file, const std::string& name) {
  constexpr std::string_view kMark = ".tmp-";
  constexpr size_t kUnique = 6;  // the letters or digits that make each one's name unique
  if (file.size() != name.size() + kMark.size() + kUnique || file.compare(0, name.size(), name) != 0 ||
      file.compare(name.size(), kMark.size(), kMark) != 0)
    return false;
  for (size_t i = name.size() + kMark.size(); i < file.size(); ++i) {
    const char c = file[i];
    if (!((c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z'))) return false;
  }
  return true;
}

}  // namespace

void RemoveLeftoverTemporaries(const std::filesystem::path& folder, const std::vector<std::string>& names) {
  std::error_code ec;
  std::vector<std::filesystem::path> leftovers;
  for (std::filesystem::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
    if (!it->is_regular_file(ec) || it->is_symlink(ec)) continue;
    const std::string file = PathText(it->path().filename());
    for (const std::string& name : names)
      if (IsTemporaryOf(file, name)) leftovers.push_back(it->path());
  }
  for (const auto& leftover : leftovers) std::filesystem::remove(leftover, ec);
}

bool LoadLines(LineList& list, const std::filesystem::path& path, std::string& error) {
  std::string bytes;
  if (!ReadFileBytes(path, bytes, error)) return false;
  list.SetText(bytes);
  return true;
}

bool SaveLines(const LineList& list, const std::filesystem::path& path, std::string& error) {
  return WriteFileAtomically(path, list.Text(), error);
}

}  // namespace ct
