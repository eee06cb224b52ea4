// The worker: one thread for the window's whole life that runs one
// conversion for every Resume and sleeps in between.
#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace ct::gui {

class TDoThread {
 public:
  // Starts suspended: nothing runs before the first Resume.
  explicit TDoThread(std::function<void()> body);
  ~TDoThread();  // Terminate()
  TDoThread(const TDoThread&) = delete;
  TDoThread& operator=(const TDoThread&) = delete;

  // Runs the body once more. A Resume that arrives while the body runs is
  // kept and runs it again afterwards, so no Start is lost.
  void Resume();
  // Lets a running body finish, then ends the thread and joins it.
  void Terminate();
  bool Running() const;

 private:
  void Loop();

  std::function<void()> body_;
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  bool resume_ = false;
  bool running_ = false;
  bool terminate_ = false;
  std::thread thread_;
};

}  // namespace ct::gui
