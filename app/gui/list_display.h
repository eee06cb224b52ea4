// The editor as the run's viewer: a stage that waits shows its list at once;
// reports that do not wait are paced, and the list held back last is shown
// when it falls due, before a message box and at the end of the run, so the
// editor always settles on exactly the list of the latest report.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <optional>
#include <string>
#include <vector>

#include "app/gui/display_pacer.h"

class QPlainTextEdit;

namespace ct::gui {

class ListDisplay : public QObject {
  Q_OBJECT

 public:
  explicit ListDisplay(QPlainTextEdit* editor, DisplayPacer::Millis minimum_gap = DisplayPacer::kMinimumGap);

  void ShowNow(const std::vector<std::string>& lines);
  void Offer(const std::vector<std::string>& lines);
  void Flush();
  bool Holding() const { return held_.has_value(); }

 private:
  void Forget();
  DisplayPacer::Millis Now() const { return clock_.elapsed(); }

  QPlainTextEdit* editor_;
  DisplayPacer pacer_;
  QElapsedTimer clock_;
  QTimer due_;
  std::optional<std::vector<std::string>> held_;
};

}  // namespace ct::gui
