#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

#include "app/cli/standard_streams.h"

namespace ct::cli {

void PrepareStandardStreams() { std::signal(SIGPIPE, SIG_IGN); }

std::vector<std::string> CommandLineWords(int argc, char** argv) { return {argv + 1, argv + argc}; }

size_t WriteSomeToStandardOutput(std::string_view bytes, bool& reader_gone, std::string& failure) {
  while (true) {
    const ssize_t n = ::write(STDOUT_FILENO, bytes.data(), bytes.size());
    if (n > 0) return static_cast<size_t>(n);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0 && errno == EPIPE) {
      reader_gone = true;
    } else {
      failure = std::strerror(n < 0 ? errno : ENOSPC);
    }
    return 0;
  }
}

size_t ReadSomeOfStandardInput(char* buffer, size_t size, std::string& failure) {
  while (true) {
    const ssize_t n = ::read(STDIN_FILENO, buffer, size);
    if (n >= 0) return static_cast<size_t>(n);
    if (errno == EINTR) continue;
    failure = std::strerror(errno);
    return 0;
  }
}

}  // namespace ct::cli
