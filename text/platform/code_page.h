// The operating system's conversion between code page 936 (the GBK that
// every line list holds) and UTF-8: iconv on POSIX systems, the Win32 code
// page functions on Windows. text/gbk.cpp builds every conversion the
// program needs on these two.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ct::code_page {

// Each appends to `out` the conversion of the longest start of `in` that is
// made of whole, valid characters that the other side can hold, and returns
// how many bytes of `in` that start has: `in.size()` when all of it
// converted; less when the byte there begins a character that cannot be
// converted (or is cut off at the end).
size_t Cp936ToUtf8(std::string_view in, std::string& out);
size_t Utf8ToCp936(std::string_view in, std::string& out);

}  // namespace ct::code_page
