#include <windows.h>

#include "text/platform/code_page.h"

namespace ct::code_page {

namespace {

constexpr UINT kGbk = 936;
// Characters are converted in pieces of about this many bytes: large
// enough that a long text takes few calls, small enough that the piece
// that holds a bad character is cheap to go through again.
constexpr size_t kPiece = 16384;

// How many bytes the character that starts at `at` takes, by its first
// byte alone; a bad character is one byte, which then fails to convert.
size_t Cp936Length(std::string_view text, size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  return lead >= 0x81 && lead <= 0xFE ? 2 : 1;
}

size_t Utf8Length(std::string_view text, size_t at) {
  const auto lead = static_cast<unsigned char>(text[at]);
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  if (lead >= 0xE0 && lead <= 0xEF) return 3;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  return 1;
}

// Appends the conversion of `text` and returns true, or appends nothing and
// returns false when any character of it cannot be converted.
bool ConvertWhole(std::string_view text, UINT from, UINT to, std::string& out) {
  const int length = static_cast<int>(text.size());
  const int wide_length = ::MultiByteToWideChar(from, MB_ERR_INVALID_CHARS, text.data(), length, nullptr, 0);
  if (wide_length <= 0) return false;
  std::wstring wide(static_cast<size_t>(wide_length), L'\0');
  ::MultiByteToWideChar(from, MB_ERR_INVALID_CHARS, text.data(), length, wide.data(), wide_length);
  // Only code page 936 has characters it lacks; a best fit would turn
  // them into others silently.
  BOOL used_default = FALSE;
  const DWORD flags = to == CP_UTF8 ? WC_ERR_INVALID_CHARS : WC_NO_BEST_FIT_CHARS;
  LPBOOL lacked = to == CP_UTF8 ? nullptr : &used_default;
  const int narrow_length = ::WideCharToMultiByte(to, flags, wide.data(), wide_length, nullptr, 0, nullptr, lacked);
  if (narrow_length <= 0 || used_default) return false;
  const size_t start = out.size();
  out.resize(start + static_cast<size_t>(narrow_length));
  ::WideCharToMultiByte(to, flags, wide.data(), wide_length, out.data() + start, narrow_length, nullptr, nullptr);
  return true;
}

size_t Convert(std::string_view in, UINT from, UINT to, size_t (*length)(std::string_view, size_t),
               std::string& out) {
  size_t done = 0;
  // Every round converts a piece of at least one character, or stops.
  while (done < in.size()) {
    size_t end = done;
    while (end < in.size() && end - done < kPiece) end += length(in, end);
    if (ConvertWhole(in.substr(done, end - done), from, to, out)) {
      done = end;
      continue;
    }
    // The piece holds a character that does not convert (or its last one
    // is cut off): the characters before that one do.
    for (size_t next; done < end; done = next) {
      next = done + length(in, done);
      if (next > in.size() || !ConvertWhole(in.substr(done, next - done), from, to, out)) return done;
    }
  }
  return done;
}

}  // namespace

size_t Cp936ToUtf8(std::string_view in, std::string& out) { return Convert(in, kGbk, CP_UTF8, Cp936Length, out); }

size_t Utf8ToCp936(std::string_view in, std::string& out) { return Convert(in, CP_UTF8, kGbk, Utf8Length, out); }

}  // namespace ct::code_page
