#include "app/gui/window_front_end.h"

#include "app/gui/main_window.h"
#include "app/gui/run_gate.h"

namespace ct::gui {

void WindowFrontEnd::Log(std::string_view line) {
  gate_.RunOnInterface(&window_, [&] { window_.AppendRunLog(line); });
}

void WindowFrontEnd::Message(std::string_view caption, std::string_view text, MessageIcon icon) {
  BoxIcon box = icon == MessageIcon::kError ? BoxIcon::kError : BoxIcon::kInformation;
  gate_.RunOnInterface(&window_, [&] { window_.ShowRunMessage(caption, text, box); });
}

void WindowFrontEnd::ClearLog() {
  gate_.RunOnInterface(&window_, [&] { window_.ClearRunLog(); });
}

void WindowFrontEnd::ShowList(const LineList& list) {
  gate_.RunOnInterface(&window_, [&] { window_.ShowInput(list); });
}

bool WindowFrontEnd::StageReport(const LineList& list, std::string_view message) {
  bool pause = false;
  if (!gate_.RunOnInterface(&window_, [&] { pause = window_.ShowStage(list, message); })) return false;
  if (pause && !gate_.WaitForContinue()) return false;
  return gate_.RunOnInterface(&window_, [&] { window_.ShowStageRunning(); });
}

void WindowFrontEnd::SetResultLabel(std::string_view text) {
  gate_.RunOnInterface(&window_, [&] { window_.ShowResult(text); });
}

void WindowFrontEnd::RunEnded() {
  gate_.RunOnInterface(&window_, [&] { window_.EndRun(); });
}

}  // namespace ct::gui
