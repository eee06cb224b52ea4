#include "app/gui/run_gate.h"

#include <QMetaObject>
#include <QObject>
#include <QThread>

#include <memory>

namespace ct::gui {

void RunGate::PressContinue() {
  {
    std::lock_guard lock(mutex_);
    continue_ = true;
  }
  changed_.notify_all();
}

void RunGate::ClearContinue() {
  std::lock_guard lock(mutex_);
  continue_ = false;
}

bool RunGate::WaitForContinue() {
  std::unique_lock lock(mutex_);
  waiting_ = true;
  // Ends with the next press or with the window's closing; the window closes
  // the gate before it is destroyed.
  changed_.wait(lock, [this] { return continue_ || closing_; });
  waiting_ = false;
  return !closing_;
}

bool RunGate::Waiting() const {
  std::lock_guard lock(mutex_);
  return waiting_;
}

void RunGate::Close() {
  {
    std::lock_guard lock(mutex_);
    closing_ = true;
  }
  changed_.notify_all();
}

bool RunGate::Closing() const {
  std::lock_guard lock(mutex_);
  return closing_;
}

namespace {

// One hand-over; guarded by the gate's mutex.
struct Handover {
  bool started = false;
  bool done = false;
  bool abandoned = false;
};

}  // namespace

bool RunGate::RunOnInterface(QObject* context, const std::function<void()>& action) {
  if (QThread::currentThread() == context->thread()) {
    if (Closing()) return false;
    action();
    return true;
  }
  auto handover = std::make_shared<Handover>();
  {
    std::lock_guard lock(mutex_);
    if (closing_) return false;
  }
  // The queued call is dropped by Qt if `context` dies first; while the
  // worker waits below, `action` and what it refers to stay alive.
  QMetaObject::invokeMethod(
      context,
      [this, handover, &action] {
        {
          std::lock_guard lock(mutex_);
          if (handover->abandoned) return;
          handover->started = true;
        }
        action();
        {
          std::lock_guard lock(mutex_);
          handover->done = true;
        }
        changed_.notify_all();
      },
      Qt::QueuedConnection);
  std::unique_lock lock(mutex_);
  // Ends when the interface thread has run the action or the window closes
  // before it began; both are the interface thread's next steps.
  changed_.wait(lock, [&] { return handover->done || (closing_ && !handover->started); });
  if (handover->done) return true;
  handover->abandoned = true;
  return false;
}

}  // namespace ct::gui
