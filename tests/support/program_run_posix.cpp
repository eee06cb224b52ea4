#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "tests/support/program_run.h"
#include "tests/support/run_folder.h"

extern char** environ;

namespace ct::testing {

ProgramRun RunProgram(const std::filesystem::path& program, const std::vector<std::string>& arguments,
                      const ProgramOptions& options) {
  ProgramRun run;
  // Standard input and error go through files, so that only standard
  // output is read while the program runs and nothing can block.
  TempFolder streams;
  streams.Write("in", options.input);
  const std::string in = (streams.path() / "in").string(), err = (streams.path() / "err").string();
  int out[2];
  if (::pipe2(out, O_CLOEXEC) != 0) return run;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, in.c_str(), O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  std::vector<std::string> words = {program.string()};
  words.insert(words.end(), arguments.begin(), arguments.end());
  std::vector<char*> argv;
  for (std::string& word : words) argv.push_back(word.data());
  argv.push_back(nullptr);
  pid_t pid = 0;
  const int spawned = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  ::close(out[1]);
  if (spawned != 0) {
    ::close(out[0]);
    return run;
  }
  char buffer[4096];
  // Every round takes bytes, or ends at the end of the output, a fault, or
  // the reader's wish.
  while (true) {
    const ssize_t n = ::read(out[0], buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    run.out.append(buffer, static_cast<size_t>(n));
    if (options.keep_reading && !options.keep_reading(run.out)) break;
  }
  ::close(out[0]);
  int status = 0;
  while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  run.err = streams.Read("err");
  return run;
}

long CurrentProcessId() { return static_cast<long>(::getpid()); }

}  // namespace ct::testing
