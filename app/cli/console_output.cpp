#include "app/cli/console_output.h"

#include "app/cli/standard_streams.h"

namespace ct::cli {

void ConsoleOutput::Write(std::string_view bytes) {
  // Every round writes at least one byte or stops for good.
  while (!bytes.empty() && !reader_gone_ && failure_.empty())
    bytes.remove_prefix(WriteSomeToStandardOutput(bytes, reader_gone_, failure_));
}

bool ReadStandardInput(std::string& bytes, std::uint64_t limit, std::string& error) {
  std::string data;
  std::string chunk(65536, '\0');
  std::string failure;
  // Every read takes bytes, or reports the end or a fault.
  while (true) {
    const size_t n = ReadSomeOfStandardInput(chunk.data(), chunk.size(), failure);
    if (!failure.empty()) {
      error = "cannot read standard input: " + failure;
      return false;
    }
    if (n == 0) break;
    if (data.size() + n > limit) {
      error = "standard input holds more than " + std::to_string(limit) + " bytes, the most an input may hold";
      return false;
    }
    data.append(chunk, 0, n);
  }
  bytes = std::move(data);
  return true;
}

}  // namespace ct::cli
