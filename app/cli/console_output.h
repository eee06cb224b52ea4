// Standard output for the command line: the log a line at a time, so that a
// pipe shows the run's progress, and a reader that goes away (`| head -1`)
// ends the writing, not the run.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ct::cli {

class ConsoleOutput {
 public:
  // Writes everything or, after the first failure, nothing more.
  void Write(std::string_view bytes);
  // The reader closed its end: not a fault of the run.
  bool ReaderGone() const { return reader_gone_; }
  // Why a write failed otherwise (a full disk behind `>`); empty when none did.
  const std::string& Failure() const { return failure_; }

 private:
  bool reader_gone_ = false;
  std::string failure_;
};

// Standard input, up to `limit` bytes; false with `error` past that or on a
// read fault.
bool ReadStandardInput(std::string& bytes, std::uint64_t limit, std::string& error);

}  // namespace ct::cli
