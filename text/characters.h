// Where one character of GBK text ends. A lead byte (0x81 to 0xFE)
// followed by a trail byte (0x40 to 0xFE, not 0x7F) is one character, and
// a trail byte may have the value of "[", "]", "{", "}" or "\": the second
// byte of 倉 (0x82 0x7D) reads as "}" to a scan that walks bytes. The scans
// that decide structure (comments, string quoting, brackets) walk
// characters instead, so that such a byte is never taken for a bracket or a
// brace. A lead byte with no trail byte after it is a character of its own,
// as a GBK editor shows it; a quote, semicolon, colon or round bracket is
// never a trail byte, so scans for those alone may walk bytes.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ct {

// Bytes in the character that starts at byte `offset` of `text`: 2 or 1,
// and 0 at or past the end.
inline size_t CharacterLength(std::string_view text, size_t offset) {
  if (offset >= text.size()) return 0;
  const auto lead = static_cast<unsigned char>(text[offset]);
  if (lead < 0x81 || lead == 0xFF || offset + 1 == text.size()) return 1;
  const auto trail = static_cast<unsigned char>(text[offset + 1]);
  return trail >= 0x40 && trail != 0x7F && trail != 0xFF ? 2 : 1;
}

// The byte offset of the first character at `from` or later that is the
// single byte `c`; npos when there is none. `from` must start a character.
inline size_t FindSingleByteCharacter(std::string_view text, char c, size_t from) {
  // Every round moves past one character.
  for (size_t i = from; i < text.size(); i += CharacterLength(text, i))
    if (text[i] == c) return i;
  return std::string_view::npos;
}

// Every occurrence of `from` (ASCII) that begins at a character replaced by `to`,
// left to right, without rescanning replaced text: "[" is replaced, the
// second byte of 0x81 0x5B is not.
std::string ReplaceAllCharacters(std::string_view text, std::string_view from, std::string_view to);

}  // namespace ct
