// Runs a program as a user would from a shell, without a shell: the same
// call on POSIX systems and on Windows, where arguments are handed over as
// wide strings, so that a folder named in Chinese reaches the program intact.
#pragma once

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace ct::testing {

struct ProgramRun {
  int status = -1;  // the exit status; -1 when the program did not start or did not exit
  std::string out;  // what it wrote to standard output (as far as it was read)
  std::string err;  // what it wrote to standard error
};

struct ProgramOptions {
  std::string input;  // standard input: these bytes, then its end
  // Called with all the output read so far, whenever more arrives; false
  // stops the reading and closes the pipe's reading end, as `| head -c N`
  // does when it has its bytes. The program then runs to its end.
  std::function<bool(const std::string& out)> keep_reading;
};

// `arguments` are UTF-8. Waits for the program to end.
ProgramRun RunProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                      const ProgramOptions& options = {});

// The id of the process that runs the tests, as a lock file names it.
long CurrentProcessId();

}  // namespace ct::testing
