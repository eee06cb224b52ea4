#include "text/gbk.h"

#include <algorithm>

#include "text/platform/code_page.h"

namespace ct {

std::string GbkToUtf8(std::string_view gbk) {
  std::string out;
  out.reserve(gbk.size() + gbk.size() / 2);
  // Every round converts the rest or skips at least one byte.
  while (!gbk.empty()) {
    const size_t consumed = code_page::Cp936ToUtf8(gbk, out);
    if (consumed == gbk.size()) break;
    // Skip one undecodable byte and mark it.
    out += "\xEF\xBF\xBD";
    gbk.remove_prefix(consumed + 1);
  }
  return out;
}

std::optional<std::string> Utf8ToGbk(std::string_view utf8, size_t* bad_offset) {
  std::string out;
  out.reserve(utf8.size());
  const size_t consumed = code_page::Utf8ToCp936(utf8, out);
  if (consumed != utf8.size()) {
    if (bad_offset) *bad_offset = consumed;
    return std::nullopt;
  }
  return out;
}

std::string Gbk(std::string_view utf8) {
  auto converted = Utf8ToGbk(utf8);
  return converted ? *converted : std::string(utf8);
}

std::string Utf8ToGbkLossy(std::string_view utf8) {
  std::string out;
  // Every round converts the rest, or the part before a character it
  // cannot and then skips that character.
  while (!utf8.empty()) {
    size_t bad = 0;
    if (auto converted = Utf8ToGbk(utf8, &bad)) return out + *converted;
    out += Utf8ToGbk(utf8.substr(0, bad)).value_or("");
    out += '?';
    // The character, or as much of it as there is, is one "?".
    const auto lead = static_cast<unsigned char>(utf8[bad]);
    const size_t whole = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    size_t length = 1;
    while (length < whole && bad + length < utf8.size() &&
           (static_cast<unsigned char>(utf8[bad + length]) & 0xC0) == 0x80)
      ++length;
    utf8.remove_prefix(bad + length);
  }
  return out;
}

namespace {

// Whether most of the first units of `bytes`, `width` bytes each, hold an
// ASCII character at `at` and zeros elsewhere: how English and Pascal look
// in UTF-16 or UTF-32 without a byte-order mark.
bool MostlyAsciiUnits(std::string_view bytes, size_t width, size_t at) {
  const size_t units = std::min<size_t>(bytes.size() / width, 2048);
  if (units < 2) return false;
  size_t ascii = 0;
  for (size_t u = 0; u < units; ++u) {
    bool zeros = true;
    for (size_t b = 0; b < width; ++b)
      if (b != at && bytes[u * width + b] != '\0') zeros = false;
    const auto c = static_cast<unsigned char>(bytes[u * width + at]);
    if (zeros && c != 0 && c < 0x80) ++ascii;
  }
  return ascii * 4 >= units * 3;
}

}  // namespace

std::string_view WideUnicodeEncoding(std::string_view bytes) {
  auto starts = [&](std::string_view mark) { return bytes.substr(0, mark.size()) == mark; };
  using namespace std::string_view_literals;
  if (starts("\xFF\xFE\0\0"sv)) return "UTF-32 LE";
  if (starts("\0\0\xFE\xFF"sv)) return "UTF-32 BE";
  if (starts("\xFF\xFE"sv)) return "UTF-16 LE";
  if (starts("\xFE\xFF"sv)) return "UTF-16 BE";
  if (MostlyAsciiUnits(bytes, 4, 0)) return "UTF-32 LE";
  if (MostlyAsciiUnits(bytes, 4, 3)) return "UTF-32 BE";
  if (MostlyAsciiUnits(bytes, 2, 0)) return "UTF-16 LE";
  if (MostlyAsciiUnits(bytes, 2, 1)) return "UTF-16 BE";
  return {};
}

bool IsUtf8BeyondAscii(std::string_view bytes) {
  bool beyond = false;
  // Every round takes one whole character, or rejects the text.
  for (size_t i = 0; i < bytes.size();) {
    const auto lead = static_cast<unsigned char>(bytes[i]);
    if (lead < 0x80) {
      ++i;
      continue;
    }
    size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : 2;
    if (lead < 0xC2 || lead > 0xF4 || i + length > bytes.size()) return false;
    unsigned code = lead & (0xFFu >> (length + 1));
    for (size_t k = 1; k < length; ++k) {
      const auto trail = static_cast<unsigned char>(bytes[i + k]);
      if ((trail & 0xC0) != 0x80) return false;
      code = (code << 6) | (trail & 0x3F);
    }
    // Overlong forms, surrogates and values past Unicode are no UTF-8.
    static constexpr unsigned kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    if (code < kSmallest[length] || (code >= 0xD800 && code <= 0xDFFF) || code > 0x10FFFF) return false;
    beyond = true;
    i += length;
  }
  return beyond;
}

}  // namespace ct
