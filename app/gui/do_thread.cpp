#include "app/gui/do_thread.h"

namespace ct::gui {

TDoThread::TDoThread(std::function<void()> body) : body_(std::move(body)), thread_([this] { Loop(); }) {}

TDoThread::~TDoThread() { Terminate(); }

void TDoThread::Resume() {
  {
    std::lock_guard lock(mutex_);
    resume_ = true;
  }
  changed_.notify_all();
}

void TDoThread::Terminate() {
  {
    std::lock_guard lock(mutex_);
    terminate_ = true;
  }
  changed_.notify_all();
  if (thread_.joinable()) thread_.join();
}

bool TDoThread::Running() const {
  std::lock_guard lock(mutex_);
  return running_;
}

void TDoThread::Loop() {
  std::unique_lock lock(mutex_);
  // Ends once Terminate has been asked for: every pass either waits for a
  // change or consumes the pending Resume.
  while (true) {
    changed_.wait(lock, [this] { return resume_ || terminate_; });
    if (terminate_) return;
    resume_ = false;
    running_ = true;
    lock.unlock();
    body_();
    lock.lock();
    running_ = false;
  }
}

}  // namespace ct::gui
