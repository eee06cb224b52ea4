// The pipeline's view of the window, used on the worker thread: every call
// is carried out on the interface thread and complete before the run goes
// on. Once the window closes, stage reports return false and message boxes
// return at once, so the run ends at its next report.
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
  void ClearLog() override;
  void ShowList(const LineList& list) override;
  bool StageReport(const LineList& list, std::string_view message) override;
  void SetResultLabel(std::string_view text) override;
  void RunEnded() override;

 private:
  TForm1& window_;
  RunGate& gate_;
};

}  // namespace ct::gui
