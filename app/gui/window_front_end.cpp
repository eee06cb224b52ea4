#include "app/gui/window_front_end.h"

#include <QMetaObject>

#include <string>

#include "app/gui/editor_document.h"
#include "app/gui/main_window.h"
#include "app/gui/run_gate.h"
#include "pipeline/stop_request.h"

namespace ct::gui {

void WindowFrontEnd::Log(std::string_view line) {
  gate_.RunOnInterface(&window_, [&] { window_.AppendRunLog(line); });
}

void WindowFrontEnd::Message(std::string_view caption, std::string_view text, MessageIcon icon) {
  BoxIcon box = icon == MessageIcon::kError ? BoxIcon::kError : BoxIcon::kInformation;
  gate_.RunOnInterface(&window_, [&] { window_.ShowRunMessage(caption, text, box); });
}

// Queued: the window may be gone before it is carried out, and then Qt
// drops it.
void WindowFrontEnd::Problem(ProblemKind kind, std::string_view text, LineOrigin line) {
  QMetaObject::invokeMethod(
      &window_, [window = &window_, kind, text = std::string(text), line] { window->ShowProblem(kind, text, line); },
      Qt::QueuedConnection);
}

void WindowFrontEnd::Progress(const RunProgress& progress) {
  QMetaObject::invokeMethod(
      &window_, [window = &window_, progress] { window->ShowProgress(progress); }, Qt::QueuedConnection);
}

void WindowFrontEnd::ClearLog() {
  gate_.RunOnInterface(&window_, [&] { window_.ClearRunLog(); });
}

void WindowFrontEnd::ShowList(const LineList& list) {
  gate_.RunOnInterface(&window_, [&] { window_.ShowInput(list); });
}

bool WindowFrontEnd::StageReport(const LineList& list, std::string_view message) {
  const bool pause = !window_.Automatic();
  EditorDocument document;
  if (pause) document = BuildListDocument(list.Lines(), window_.EditorFontForLists(), window_.thread());
  if (!gate_.RunOnInterface(&window_, [&] { window_.ShowStage(list, message, pause, std::move(document)); }))
    return false;
  if (pause && !gate_.WaitForContinue()) return false;
  ThrowIfStopRequested();
  return gate_.RunOnInterface(&window_, [&] { window_.ShowStageRunning(); });
}

void WindowFrontEnd::SetResultLabel(std::string_view text) {
  gate_.RunOnInterface(&window_, [&] { window_.ShowResult(text); });
}

void WindowFrontEnd::RunEnded() {
  gate_.RunOnInterface(&window_, [&] { window_.EndRun(); });
}

}  // namespace ct::gui
