// The editor as the run's viewer: a stage that waits shows its list at once;
// reports that do not wait are paced, and the list held back last is shown
// when it falls due, before a message box and at the end of the run, so the
// editor always settles on exactly the list of the latest report. Large
// lists are made into documents on a helper thread, so that the interface
// stays responsive whatever the size.
#pragma once

#include <QElapsedTimer>
#include <QObject>
#include <QTimer>

#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "app/gui/display_pacer.h"
#include "app/gui/editor_document.h"

class QPlainTextEdit;

namespace ct::gui {

class ListDisplay : public QObject {
  Q_OBJECT

 public:
  explicit ListDisplay(QPlainTextEdit* editor, DisplayPacer::Millis minimum_gap = DisplayPacer::kMinimumGap);
  ~ListDisplay() override;

  void ShowNow(const std::vector<std::string>& lines);
  // A document the worker built while the run waits for it.
  void ShowDocument(EditorDocument document);
  void Offer(const std::vector<std::string>& lines);
  void Flush();
  // Forgets what is held or being built: the editor now shows something else.
  void Forget();
  bool Holding() const { return held_.has_value(); }
  // A list is still being made into a document.
  bool Building() const { return building_; }

 signals:
  // The editor shows a new list.
  void Shown();

 private:
  struct Channel;
  void Install(EditorDocument document);
  void StartBuild(std::vector<std::string> lines);
  void Built(unsigned generation, EditorDocument document, DisplayPacer::Millis build_cost);
  DisplayPacer::Millis Now() const { return clock_.elapsed(); }

  QPlainTextEdit* editor_;
  DisplayPacer pacer_;
  QElapsedTimer clock_;
  QTimer due_;
  std::optional<std::vector<std::string>> held_;
  // The helper thread builds one document at a time; a list to show while
  // it builds waits as `next_`, and a result that is no longer wanted (its
  // generation is not the latest) is dropped.
  std::shared_ptr<Channel> channel_;
  std::thread builder_;
  bool building_ = false;
  unsigned generation_ = 0;
  std::optional<std::vector<std::string>> next_;
};

}  // namespace ct::gui
