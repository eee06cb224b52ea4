#include <windows.h>
#include <fcntl.h>
#include <io.h>
#include <shellapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "app/cli/standard_streams.h"
#include "text/files.h"

namespace ct::cli {

namespace {

UINT console_code_page = 0;

// The console keeps its code page after the program: it gets its own back.
void RestoreConsoleCodePage() { ::SetConsoleOutputCP(console_code_page); }

std::string Utf8(const wchar_t* wide) {
  const int length = ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (length <= 1) return {};
  std::string text(static_cast<size_t>(length), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, wide, -1, text.data(), length, nullptr, nullptr);
  text.pop_back();  // the terminating zero
  return text;
}

}  // namespace

void PrepareStandardStreams() {
  for (FILE* stream : {stdin, stdout, stderr}) _setmode(_fileno(stream), _O_BINARY);
  console_code_page = ::GetConsoleOutputCP();
  if (console_code_page != 0 && console_code_page != CP_UTF8 && ::SetConsoleOutputCP(CP_UTF8))
    std::atexit(RestoreConsoleCodePage);
}

std::vector<std::string> CommandLineWords(int, char**) {
  int count = 0;
  LPWSTR* words = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  std::vector<std::string> out;
  for (int i = 1; words != nullptr && i < count; ++i) out.push_back(Utf8(words[i]));
  ::LocalFree(words);
  return out;
}

size_t WriteSomeToStandardOutput(std::string_view bytes, bool& reader_gone, std::string& failure) {
  DWORD written = 0;
  const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size(), 1u << 30));
  if (::WriteFile(::GetStdHandle(STD_OUTPUT_HANDLE), bytes.data(), chunk, &written, nullptr) && written > 0)
    return written;
  const DWORD error = ::GetLastError();
  // A pipe whose reader closed its end is "being closed" or "ended".
  if (error == ERROR_NO_DATA || error == ERROR_BROKEN_PIPE) {
    reader_gone = true;
  } else {
    failure = SystemErrorText(written == 0 && error == ERROR_SUCCESS ? ERROR_DISK_FULL : error);
  }
  return 0;
}

size_t ReadSomeOfStandardInput(char* buffer, size_t size, std::string& failure) {
  DWORD got = 0;
  const DWORD chunk = static_cast<DWORD>(std::min<size_t>(size, 1u << 30));
  if (::ReadFile(::GetStdHandle(STD_INPUT_HANDLE), buffer, chunk, &got, nullptr)) return got;
  const DWORD error = ::GetLastError();
  // The writer of a pipe closing its end is the input's end.
  if (error != ERROR_BROKEN_PIPE) failure = SystemErrorText(error);
  return 0;
}

}  // namespace ct::cli
