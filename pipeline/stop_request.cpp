#include "pipeline/stop_request.h"

namespace ct {

namespace {
thread_local const StopFlag* g_stop_flag = nullptr;
}

ScopedStopFlag::ScopedStopFlag(const StopFlag* flag) : previous_(g_stop_flag) { g_stop_flag = flag; }

ScopedStopFlag::~ScopedStopFlag() { g_stop_flag = previous_; }

void ThrowIfStopRequested() {
  if (g_stop_flag != nullptr && g_stop_flag->Requested()) throw RunStopped{};
}

}  // namespace ct
