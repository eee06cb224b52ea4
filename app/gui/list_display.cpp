#include "app/gui/list_display.h"

#include <QPlainTextEdit>

#include <algorithm>

#include "app/gui/qt_text.h"

namespace ct::gui {

ListDisplay::ListDisplay(QPlainTextEdit* editor, DisplayPacer::Millis minimum_gap)
    : QObject(editor), editor_(editor), pacer_(minimum_gap) {
  clock_.start();
  due_.setSingleShot(true);
  connect(&due_, &QTimer::timeout, this, &ListDisplay::Flush);
}

void ListDisplay::ShowNow(const std::vector<std::string>& lines) {
  Forget();
  DisplayPacer::Millis start = Now();
  editor_->setPlainText(EditorText(lines));
  pacer_.Shown(start, Now() - start);
}

void ListDisplay::Offer(const std::vector<std::string>& lines) {
  if (pacer_.MayShowAt(Now())) {
    ShowNow(lines);
    return;
  }
  held_ = lines;
  if (!due_.isActive()) due_.start(static_cast<int>(std::clamp<DisplayPacer::Millis>(pacer_.DueAt() - Now(), 0, 60000)));
}

void ListDisplay::Flush() {
  if (!held_) return;
  std::vector<std::string> lines = std::move(*held_);
  ShowNow(lines);
}

void ListDisplay::Forget() {
  held_.reset();
  due_.stop();
}

}  // namespace ct::gui
