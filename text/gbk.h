// Conversion between GBK (code page 936), the bytes every line list holds,
// used only where text meets a person or arrives in UTF-8.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace ct {

// For display: bytes that are not valid GBK become U+FFFD, so any input can
// be shown.
std::string GbkToUtf8(std::string_view gbk);

// Strict: nullopt when the text holds a character GBK lacks (or invalid
// UTF-8); `bad_offset` then receives the byte offset of the first such one.
std::optional<std::string> Utf8ToGbk(std::string_view utf8, size_t* bad_offset = nullptr);

// For the system's own texts, which are all representable.
std::string Gbk(std::string_view utf8);

// For text from outside (a path in a file system's message): every
// character GBK lacks, and every byte that is no UTF-8, becomes "?".
std::string Utf8ToGbkLossy(std::string_view utf8);

// The name of the Unicode encoding `bytes` are written in when they are
// UTF-16 or UTF-32 ("UTF-16 LE", ...), by their byte-order mark or, without
// one, by the zero bytes that most characters then hold; empty otherwise.
std::string_view WideUnicodeEncoding(std::string_view bytes);

// Whether `bytes` are well-formed UTF-8 holding at least one character
// beyond ASCII: a text an editor saved as UTF-8, which GBK text with Chinese
// in it practically never is.
bool IsUtf8BeyondAscii(std::string_view bytes);

}  // namespace ct
