#include <windows.h>

#include "tests/support/program_run.h"
#include "tests/support/run_folder.h"

namespace ct::testing {

namespace {

std::wstring Wide(const std::string& utf8) {
  const int length = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(length), L'\0');
  ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), length);
  return wide;
}

// One argument as the C runtime's command-line parser reads it back:
// quoted when it holds blanks or quotes, backslashes doubled before a quote.
std::wstring Quoted(const std::wstring& word) {
  if (!word.empty() && word.find_first_of(L" \t\n\v\"") == std::wstring::npos) return word;
  std::wstring quoted = L"\"";
  for (size_t i = 0;; ++i) {
    size_t backslashes = 0;
    for (; i < word.size() && word[i] == L'\\'; ++i) ++backslashes;
    if (i == word.size()) {
      quoted.append(backslashes * 2, L'\\');
      break;
    }
    quoted.append(word[i] == L'"' ? backslashes * 2 + 1 : backslashes, L'\\');
    quoted.push_back(word[i]);
  }
  return quoted + L"\"";
}

}  // namespace

ProgramRun RunProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                      const ProgramOptions& options) {
  ProgramRun run;
  // Standard input and error go through files, so that only standard
  // output is read while the program runs and nothing can block.
  TempFolder streams;
  streams.Write("in", options.input);
  SECURITY_ATTRIBUTES inherited{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE in = ::CreateFileW((streams.path() / "in").c_str(), GENERIC_READ, FILE_SHARE_READ, &inherited, OPEN_EXISTING,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  HANDLE err = ::CreateFileW((streams.path() / "err").c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherited,
                             CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  HANDLE out_read = nullptr, out_write = nullptr;
  const bool piped = ::CreatePipe(&out_read, &out_write, &inherited, 0) &&
                     ::SetHandleInformation(out_read, HANDLE_FLAG_INHERIT, 0);
  std::wstring command = Quoted(program.wstring());
  for (const std::string& argument : arguments) command += L" " + Quoted(Wide(argument));
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = in;
  startup.hStdOutput = out_write;
  startup.hStdError = err;
  PROCESS_INFORMATION process{};
  const bool started = in != INVALID_HANDLE_VALUE && err != INVALID_HANDLE_VALUE && piped &&
                       ::CreateProcessW(program.wstring().c_str(), command.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &startup, &process);
  // Only the program holds its ends now: the pipe ends when it does.
  for (HANDLE handle : {in, err, out_write})
    if (handle != nullptr && handle != INVALID_HANDLE_VALUE) ::CloseHandle(handle);
  if (started) {
    char buffer[4096];
    DWORD got = 0;
    // Every round takes bytes, or ends at the end of the output, a fault, or
    // the reader's wish.
    while (::ReadFile(out_read, buffer, sizeof buffer, &got, nullptr) && got > 0) {
      run.out.append(buffer, got);
      if (options.keep_reading && !options.keep_reading(run.out)) break;
    }
  }
  if (out_read != nullptr) ::CloseHandle(out_read);
  if (!started) return run;
  ::WaitForSingleObject(process.hProcess, INFINITE);
  DWORD status = 0;
  if (::GetExitCodeProcess(process.hProcess, &status)) run.status = static_cast<int>(status);
  ::CloseHandle(process.hThread);
  ::CloseHandle(process.hProcess);
  run.err = streams.Read("err");
  return run;
}

long CurrentProcessId() { return static_cast<long>(::GetCurrentProcessId()); }

}  // namespace ct::testing
