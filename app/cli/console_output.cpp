#include "app/cli/console_output.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <unistd.h>

namespace ct::cli {

void IgnoreBrokenPipes() { std::signal(SIGPIPE, SIG_IGN); }

void ConsoleOutput::Write(std::string_view bytes) {
  // Every round writes at least one byte or stops for good.
  while (!bytes.empty() && !reader_gone_ && failure_.empty()) {
    ssize_t n = ::write(STDOUT_FILENO, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == EPIPE) {
      reader_gone_ = true;
    } else if (n <= 0) {
      failure_ = std::strerror(n < 0 ? errno : ENOSPC);
    } else {
      bytes.remove_prefix(static_cast<size_t>(n));
    }
  }
}

bool ReadStandardInput(std::string& bytes, std::uint64_t limit, std::string& error) {
  std::string data;
  std::string chunk(65536, '\0');
  // Every read takes bytes, or reports the end or a fault.
  while (true) {
    ssize_t n = ::read(STDIN_FILENO, chunk.data(), chunk.size());
    if (n == 0) break;
    if (n < 0) {
      if (errno == EINTR) continue;
      error = std::string("cannot read standard input: ") + std::strerror(errno);
      return false;
    }
    if (data.size() + static_cast<size_t>(n) > limit) {
      error = "standard input holds more than " + std::to_string(limit) + " bytes, the most an input may hold";
      return false;
    }
    data.append(chunk, 0, static_cast<size_t>(n));
  }
  bytes = std::move(data);
  return true;
}

}  // namespace ct::cli
