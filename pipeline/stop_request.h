// Stopping a run from another thread. The front end owns the flag and
// installs it for the thread that runs the pipeline, like the number-fault
// listener; the loops that can run long ask ThrowIfStopRequested(), and the
// driver ends the run when it throws. The check costs one atomic load, so it
// may stand in any inner loop.
#pragma once

#include <atomic>

namespace ct {

class StopFlag {
 public:
  // Any thread.
  void Request() { requested_.store(true, std::memory_order_relaxed); }
  bool Requested() const { return requested_.load(std::memory_order_relaxed); }
  // Before a new run.
  void Reset() { requested_.store(false, std::memory_order_relaxed); }

 private:
  std::atomic<bool> requested_{false};
};

class ScopedStopFlag {
 public:
  explicit ScopedStopFlag(const StopFlag* flag);
  ~ScopedStopFlag();
  ScopedStopFlag(const ScopedStopFlag&) = delete;
  ScopedStopFlag& operator=(const ScopedStopFlag&) = delete;

 private:
  const StopFlag* previous_;
};

// Thrown by ThrowIfStopRequested; deliberately no std::exception, so that
// no handler meant for failures takes it for one.
struct RunStopped {};

// Throws RunStopped when the flag installed on this thread has been raised.
void ThrowIfStopRequested();

}  // namespace ct
