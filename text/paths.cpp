#include "text/paths.h"

#include <algorithm>

namespace ct {

namespace {

// Both separators are ASCII, and no byte of a multi-byte UTF-8 character
// is ASCII, so the bytes can be replaced one by one.
void UseOneSeparator(std::string& text) {
  const size_t first = text.find_first_of("/\\");
  if (first == std::string::npos) return;
  const char kept = text[first];
  std::replace(text.begin(), text.end(), kept == '/' ? '\\' : '/', kept);
}

}  // namespace

std::filesystem::path PathFromUtf8(std::string_view utf8) {
  return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

std::string PathText(const std::filesystem::path& path) {
  std::string text;
  try {
    const std::u8string utf8 = path.u8string();
    text.assign(utf8.begin(), utf8.end());
  } catch (const std::exception&) {
    // A Windows name with half a UTF-16 pair has no UTF-8 spelling: what
    // ASCII it holds is still shown.
    for (auto c : path.native()) text += static_cast<unsigned>(c) < 0x80 ? static_cast<char>(c) : '?';
  }
  if constexpr (std::filesystem::path::preferred_separator == '\\') UseOneSeparator(text);
  return text;
}

}  // namespace ct
