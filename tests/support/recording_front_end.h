// A front end that records everything the pipeline tells it, for tests.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "pipeline/front_end.h"

namespace ct::testing {

struct StageEvent {
  std::string message;           // GBK
  std::vector<std::string> list;  // the list shown with the report
};

struct ProblemEvent {
  ProblemKind kind;
  std::string text;  // GBK
  LineOrigin line;
};

struct MessageEvent {
  std::string caption;  // GBK
  std::string text;     // GBK
  MessageIcon icon;
};

class RecordingFrontEnd : public FrontEnd {
 public:
  void Log(std::string_view line) override { log.emplace_back(line); }
  void Message(std::string_view caption, std::string_view text, MessageIcon icon) override {
    messages.push_back({std::string(caption), std::string(text), icon});
  }
  void Problem(ProblemKind kind, std::string_view text, LineOrigin line) override {
    problems.push_back({kind, std::string(text), line});
  }
  void Progress(const RunProgress& progress) override { this->progress.push_back(progress); }
  void ClearLog() override { log.clear(); }
  void ShowList(const LineList& list) override { shown.push_back(list.Lines()); }
  bool StageReport(const LineList& list, std::string_view message) override {
    Log(message);
    stages.push_back({std::string(message), record_lists ? list.Lines() : std::vector<std::string>{}});
    return stages.size() < abandon_after;
  }
  void SetResultLabel(std::string_view text) override { result_label = std::string(text); }
  void RunEnded() override { ++runs_ended; }

  // Log lines converted to UTF-8, for readable assertions.
  std::vector<std::string> LogUtf8() const;
  // Whether one log line holds every one of `parts` (GBK), in any order.
  bool Logged(std::initializer_list<std::string_view> parts) const;

  bool record_lists = true;
  size_t abandon_after = static_cast<size_t>(-1);
  std::vector<std::string> log;
  std::vector<StageEvent> stages;
  std::vector<MessageEvent> messages;
  std::vector<ProblemEvent> problems;
  std::vector<RunProgress> progress;
  std::vector<std::vector<std::string>> shown;
  std::string result_label;
  int runs_ended = 0;
};

}  // namespace ct::testing
