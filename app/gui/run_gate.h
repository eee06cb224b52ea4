// What the worker and the interface thread share during a run: the continue
// flag of the manual pause, the closing request of the window, and the
// hand-over of control updates to the interface thread.
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>

class QObject;

namespace ct::gui {

class RunGate {
 public:
  // Interface thread: a press of Start/Continue.
  void PressContinue();
  // Any thread: a press made before this point no longer releases a pause.
  void ClearContinue();
  // Worker: waits for a press made after the last ClearContinue. False when
  // the window closes instead.
  bool WaitForContinue();
  bool Waiting() const;

  // Interface thread: the window is going away. Every wait of the worker
  // ends and no further control update is handed over.
  void Close();
  bool Closing() const;

  // Worker: runs `action` on the thread of `context` and returns once it has
  // completed, so the window shows the run's state before the run goes on.
  // False, with `action` not run, when the window is closing; an action
  // already under way (a message box) is waited for.
  bool RunOnInterface(QObject* context, const std::function<void()>& action);

 private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  bool continue_ = false;
  bool waiting_ = false;
  bool closing_ = false;
};

}  // namespace ct::gui
