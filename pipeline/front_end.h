// The only way the pipeline reaches a person: the window, the command line
// and the tests each implement this. Every text passed here is GBK.
#pragma once

#include <cstddef>
#include <string_view>

#include "text/line_list.h"

namespace ct {

enum class MessageIcon { kInformation, kError };

// What a problem of a run is, for a list a person works through.
enum class ProblemKind {
  kFailure,     // a report that ends the run or clears its success
  kUnresolved,  // a line the layout could not finish, and the value it stopped at
  kLeftOut,     // a structure the layout could not finish, which the script leaves out
};

// What a stage may do besides rewriting its lists: log and tell the user.
class Reporter {
 public:
  virtual ~Reporter() = default;
  virtual void Log(std::string_view line) = 0;
  // Modal: returns when the user has dismissed the box.
  virtual void Message(std::string_view caption, std::string_view text, MessageIcon icon) = 0;
  // Besides its log lines and box, a problem once more, with the line of the
  // input a person has to look at (kNoOrigin when there is none), for a
  // front end that lists them.
  virtual void Problem(ProblemKind, std::string_view /*text*/, LineOrigin) {}
};

// Where a run stands, for a progress display.
struct RunProgress {
  size_t stage = 0;   // the stage under way, from 1
  size_t stages = 0;  // of how many
  size_t cycle = 0;   // within the layout's cycles, the cycle under way, from 1; 0 elsewhere
};

class FrontEnd : public Reporter {
 public:
  virtual void ClearLog() = 0;
  // Shows a list without announcing a stage (the input at the start of a run).
  virtual void ShowList(const LineList& list) = 0;
  // Logs the stage message, shows the stage's input and, in manual mode,
  // waits for Continue. Returns false when the run is to be abandoned (the
  // window is closing); the driver then ends the run without further work.
  virtual bool StageReport(const LineList& list, std::string_view message) = 0;
  virtual void SetResultLabel(std::string_view text) = 0;
  // Called as each stage's work begins and at every layout cycle; nothing
  // waits for it.
  virtual void Progress(const RunProgress&) {}
  // The run is over: the Start button returns to its Start state.
  virtual void RunEnded() = 0;
};

// A front end that runs straight through, as the command line does: stage
// messages go to the log, lists are not shown, nothing ever waits.
class UnattendedFrontEnd : public FrontEnd {
 public:
  void ClearLog() override {}
  void ShowList(const LineList&) override {}
  bool StageReport(const LineList&, std::string_view message) override {
    Log(message);
    return true;
  }
  void SetResultLabel(std::string_view) override {}
  void RunEnded() override {}
};

}  // namespace ct
