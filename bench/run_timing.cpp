// classtable_bench: times complete conversions of generated inputs of several
// sizes, with the fast and the plain stage versions, and prints
// seconds, lines per second, peak memory and the growth exponent.
//
// A plain timing program rather than a Google Benchmark: every measurement is
// a whole run of a second or more, its peak memory has to be that run's alone,
// and the figures that matter (exponent between sizes, ratio between the two
// implementations) are comparisons across runs that the library does not make.
// So each run is a fresh child process (this program started again with
// --run-once), which times itself and whose peak resident size the parent
// reads from wait4.
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "pipeline/driver.h"
#include "pipeline/file_store.h"
#include "tests/plain/plain.h"
#include "tests/support/generated_input.h"
#include "text/line_list.h"

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

// Takes the run's reports without showing anything, noting when each stage
// report came: a stage's time is the time until the next report.
class SilentFrontEnd : public ct::UnattendedFrontEnd {
 public:
  void Log(std::string_view) override {}
  void Message(std::string_view, std::string_view, ct::MessageIcon) override {}
  bool StageReport(const ct::LineList&, std::string_view) override {
    reports.push_back(Clock::now());
    return true;
  }
  void RunEnded() override { reports.push_back(Clock::now()); }

  std::vector<Clock::time_point> reports;
};

const char* OutcomeName(ct::RunOutcome outcome) {
  switch (outcome) {
    case ct::RunOutcome::kSucceeded: return "succeeded";
    case ct::RunOutcome::kFailed: return "failed";
    case ct::RunOutcome::kStoppedAtNesting: return "nesting";
    case ct::RunOutcome::kFileError: return "file-error";
    case ct::RunOutcome::kAbandoned: return "abandoned";
    case ct::RunOutcome::kStopped: return "stopped";
  }
  return "?";
}

// The child: one conversion in `folder`; prints its seconds and outcome,
// and with `stages` the stages that took more than 1% of the run to stderr.
int RunOnce(const fs::path& folder, bool plain, bool stages) {
  SilentFrontEnd ui;
  ct::FolderStore files(folder);
  auto start = Clock::now();
  ct::RunOutcome outcome =
      plain ? ct::RunConversionWith(ui, files, ct::kPlainStageVersions) : ct::RunConversion(ui, files);
  std::chrono::duration<double> seconds = Clock::now() - start;
  std::printf("%.6f %s\n", seconds.count(), OutcomeName(outcome));
  if (!stages) return 0;
  std::fprintf(stderr, "  %s, %s:", folder.filename().c_str(), plain ? "plain" : "fast");
  for (size_t i = 0; i + 1 < ui.reports.size(); ++i) {
    std::chrono::duration<double> stage = ui.reports[i + 1] - ui.reports[i];
    if (stage.count() > seconds.count() / 100)
      std::fprintf(stderr, " stage %zu %.3fs (%.0f%%);", i + 1, stage.count(), 100 * stage.count() / seconds.count());
  }
  std::fprintf(stderr, "\n");
  return 0;
}

struct Measurement {
  double seconds = 0;      // the conversion's wall time, as the child timed it
  double cpu_seconds = 0;  // the child's user and system time: less sensitive to a busy machine
  long peak_kib = 0;
  std::string outcome;
};

double Seconds(const timeval& t) { return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6; }

std::optional<Measurement> SpawnRun(const std::string& self, const fs::path& folder, bool plain, bool stages) {
  int out[2];
  if (pipe(out) != 0) return std::nullopt;
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
  posix_spawn_file_actions_addclose(&actions, out[0]);
  std::string folder_text = folder.string();
  std::vector<char*> argv = {const_cast<char*>(self.c_str()), const_cast<char*>("--run-once"),
                             folder_text.data(), const_cast<char*>(plain ? "plain" : "fast"),
                             const_cast<char*>(stages ? "stages" : "total"), nullptr};
  pid_t pid = 0;
  int spawned = posix_spawn(&pid, self.c_str(), &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(out[1]);
  if (spawned != 0) {
    close(out[0]);
    return std::nullopt;
  }
  std::string reply;
  char buffer[256];
  for (ssize_t n; (n = read(out[0], buffer, sizeof buffer)) > 0;) reply.append(buffer, static_cast<size_t>(n));
  close(out[0]);
  int status = 0;
  rusage usage{};
  if (wait4(pid, &status, 0, &usage) != pid || !WIFEXITED(status) || WEXITSTATUS(status) != 0) return std::nullopt;
  Measurement m;
  std::istringstream fields(reply);
  if (!(fields >> m.seconds >> m.outcome)) return std::nullopt;
  m.peak_kib = usage.ru_maxrss;
  m.cpu_seconds = Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
  return m;
}

struct Options {
  std::vector<size_t> sizes = {1000, 10000, 50000, 100000};
  int repeats = 3;
  std::uint64_t seed = 1;
  bool fast = true;
  bool plain = true;
  size_t plain_max_lines = 10000;
  bool stages = false;
  std::string keep;  // folder to keep the generated inputs in
  // A stress shape instead of the realistic blocks; sizes count its parts.
  std::optional<ct::testing::StressShape> shape;
};

std::vector<size_t> ParseSizes(const std::string& text) {
  std::vector<size_t> sizes;
  std::stringstream list(text);
  for (std::string item; std::getline(list, item, ',');) sizes.push_back(std::stoul(item));
  return sizes;
}

constexpr const char* kUsage =
    "Usage: classtable_bench [--sizes N,N,...] [--repeats R] [--seed S]\n"
    "                        [--mode fast|plain|both] [--plain-max-lines N] [--keep DIR] [--stages]\n"
    "                        [--shape wide-record|one-line|embedders-first]\n"
    "Times complete conversions of generated inputs of N declaration lines after the prelude\n"
    "(default 1000,10000,50000,100000; median of R runs, default 3). The plain mode runs\n"
    "the plain stage versions, on sizes up to --plain-max-lines (default 10000).\n"
    "--stages prints, for every run, the stages that took more than 1% of it.\n"
    "--shape times a shape that a quadratic step would feel instead, N its parts:\n"
    "  wide-record      one record of N fields on one line\n"
    "  one-line         N records on one line\n"
    "  embedders-first  N records, each embedding the one declared after it\n";

std::optional<Options> ParseOptions(int argc, char** argv) {
  Options o;
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    auto value = [&]() -> std::optional<std::string> {
      if (i + 1 >= argc) return std::nullopt;
      return std::string(argv[++i]);
    };
    std::optional<std::string> v;
    if (arg == "--help") return std::nullopt;
    if (arg == "--stages") {
      o.stages = true;
      continue;
    }
    if (!(v = value())) return std::nullopt;
    if (arg == "--sizes") o.sizes = ParseSizes(*v);
    else if (arg == "--repeats") o.repeats = std::max(1, std::stoi(*v));
    else if (arg == "--seed") o.seed = std::stoull(*v);
    else if (arg == "--plain-max-lines") o.plain_max_lines = std::stoul(*v);
    else if (arg == "--keep") o.keep = *v;
    else if (arg == "--shape") {
      if (*v == "wide-record") o.shape = ct::testing::StressShape::kWideRecord;
      else if (*v == "one-line") o.shape = ct::testing::StressShape::kOneLine;
      else if (*v == "embedders-first") o.shape = ct::testing::StressShape::kEmbeddersFirst;
      else return std::nullopt;
    }
    else if (arg == "--mode") {
      o.fast = *v != "plain";
      o.plain = *v != "fast";
    } else return std::nullopt;
  }
  return o;
}

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream buffer;
  buffer << in.rdbuf();
  return buffer.str();
}

// True when the two folders hold the same files with the same bytes.
bool SameFiles(const fs::path& a, const fs::path& b) {
  std::map<std::string, std::string> left, right;
  for (const auto& e : fs::directory_iterator(a)) left[e.path().filename().string()] = ReadFile(e.path());
  for (const auto& e : fs::directory_iterator(b)) right[e.path().filename().string()] = ReadFile(e.path());
  return left == right;
}

struct Row {
  size_t lines = 0;
  size_t bytes = 0;
  std::optional<Measurement> fast, plain;
  std::optional<bool> identical;
};

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  size_t n = values.size();
  return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

std::optional<Measurement> Measure(const std::string& self, const fs::path& folder, bool plain,
                                   const Options& options) {
  std::vector<double> seconds, cpu_seconds;
  Measurement result;
  for (int r = 0; r < options.repeats; ++r) {
    auto m = SpawnRun(self, folder, plain, options.stages);
    if (!m) {
      std::fprintf(stderr, "classtable_bench: the run in %s did not report\n", folder.c_str());
      return std::nullopt;
    }
    seconds.push_back(m->seconds);
    cpu_seconds.push_back(m->cpu_seconds);
    result.peak_kib = std::max(result.peak_kib, m->peak_kib);
    result.outcome = m->outcome;
  }
  result.seconds = Median(seconds);
  result.cpu_seconds = Median(cpu_seconds);
  return result;
}

// The growth exponent between two sizes: time grows as lines^e.
std::string Exponent(double seconds, double previous_seconds, size_t lines, size_t previous_lines) {
  if (seconds <= 0 || previous_seconds <= 0) return "-";
  double e = std::log(seconds / previous_seconds) /
             std::log(static_cast<double>(lines) / static_cast<double>(previous_lines));
  char text[32];
  std::snprintf(text, sizeof text, "%.2f", e);
  return text;
}

void PrintMode(const char* name, const std::vector<Row>& rows, std::optional<Measurement> Row::*which) {
  std::printf("\n%s\n", name);
  std::printf("%9s %10s %9s %9s %10s %9s %9s %9s %9s  %s\n", "lines", "bytes", "seconds", "cpu s", "lines/s",
              "peak MiB", "limit MiB", "exponent", "exp. cpu", "outcome");
  const Row* previous = nullptr;
  for (const Row& row : rows) {
    const auto& m = row.*which;
    if (!m) continue;
    double limit_mib = 50.0 + 20.0 * static_cast<double>(row.bytes) / (1024.0 * 1024.0);
    std::string exponent = "-", cpu_exponent = "-";
    if (previous) {
      const Measurement& p = *(previous->*which);
      exponent = Exponent(m->seconds, p.seconds, row.lines, previous->lines);
      cpu_exponent = Exponent(m->cpu_seconds, p.cpu_seconds, row.lines, previous->lines);
    }
    std::printf("%9zu %10zu %9.3f %9.3f %10.0f %9.1f %9.1f %9s %9s  %s\n", row.lines, row.bytes, m->seconds,
                m->cpu_seconds, static_cast<double>(row.lines) / m->seconds, static_cast<double>(m->peak_kib) / 1024.0,
                limit_mib, exponent.c_str(), cpu_exponent.c_str(), m->outcome.c_str());
    previous = &row;
  }
}

int Main(int argc, char** argv) {
  if (argc == 5 && std::string(argv[1]) == "--run-once")
    return RunOnce(argv[2], std::string(argv[3]) == "plain", std::string(argv[4]) == "stages");
  auto options = ParseOptions(argc, argv);
  if (!options) {
    std::cerr << kUsage;
    return 64;
  }
  const std::string self = fs::canonical("/proc/self/exe").string();
  const fs::path base = options->keep.empty() ? fs::temp_directory_path() / ("classtable-bench-" + std::to_string(getpid()))
                                              : fs::path(options->keep);
  std::vector<Row> rows;
  for (size_t lines : options->sizes) {
    ct::testing::InputShape shape;
    shape.seed = options->seed;
    shape.lines = lines;
    const std::string input = options->shape ? ct::testing::GenerateStressInput(*options->shape, lines)
                                             : ct::testing::GenerateClassTable(shape);
    Row row;
    row.lines = lines;
    row.bytes = input.size();
    fs::path fast_dir = base / (std::to_string(lines) + "-fast"), plain_dir = base / (std::to_string(lines) + "-plain");
    for (const fs::path& dir : {fast_dir, plain_dir}) {
      fs::create_directories(dir);
      std::ofstream(dir / "ClassTable.txt", std::ios::binary) << input;
    }
    if (options->fast) row.fast = Measure(self, fast_dir, false, *options);
    if (options->plain && lines <= options->plain_max_lines) row.plain = Measure(self, plain_dir, true, *options);
    if (row.fast && row.plain) row.identical = SameFiles(fast_dir, plain_dir);
    std::fprintf(stderr, "%zu lines done\n", lines);
    rows.push_back(std::move(row));
  }
  if (options->keep.empty()) fs::remove_all(base);

  std::printf("Complete runs, median of %d, seed %llu (lines: %s)\n", options->repeats,
              static_cast<unsigned long long>(options->seed),
              options->shape ? "the parts of the shape" : "declaration lines after the prelude");
  if (options->fast) PrintMode("fast (default)", rows, &Row::fast);
  if (options->plain) PrintMode("plain (lookups and scans read every line)", rows, &Row::plain);
  bool any_ratio = false;
  for (const Row& row : rows) {
    if (!row.fast || !row.plain) continue;
    if (!any_ratio) std::printf("\n%9s %10s %10s %10s\n", "lines", "speed-up", "cpu", "same files");
    any_ratio = true;
    std::printf("%9zu %9.1fx %9.1fx %10s\n", row.lines, row.plain->seconds / row.fast->seconds,
                row.plain->cpu_seconds / row.fast->cpu_seconds, *row.identical ? "yes" : "NO");
  }
  for (const Row& row : rows)
    if (row.identical && !*row.identical) return 1;
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  try {
    return Main(argc, argv);
  } catch (const std::exception& e) {
    std::cerr << "classtable_bench: " << e.what() << '\n';
    return 1;
  }
}
