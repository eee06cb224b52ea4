// The pipeline's view of the window, used on the worker thread: every call
// is carried out on the interface thread and complete before the run goes
// on, except progress and problems, which only inform. A stage that pauses
// gets its list made into a document here, on the worker, so that the
// interface thread only puts it in place. Once the window closes, stage
// reports return false and message boxes return at once, so the run ends at
// its next report; a stop pressed during a pause ends it there.
#pragma once

#include "pipeline/front_end.h"

namespace ct::gui {

class RunGate;
class TForm1;

class WindowFrontEnd : public FrontEnd {
 public:
  WindowFrontEnd(TForm1& window, RunGate& gate) : window_(window), gate_(gate) {}

  void Log(std::string_view line) override;
  void Message(std::string_view caption, std::string_view text, MessageIcon icon) override;
  void Problem(ProblemKind kind, std::string_view text, LineOrigin line) override;
  void ClearLog() override;
  void ShowList(const LineList& list) override;
  bool StageReport(const LineList& list, std::string_view message) override;
  void SetResultLabel(std::string_view text) override;
  void Progress(const RunProgress& progress) override;
  void RunEnded() override;

 private:
  TForm1& window_;
  RunGate& gate_;
};

}  // namespace ct::gui
