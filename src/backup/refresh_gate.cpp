#include "backup/refresh_gate.h"

#include <utility>

namespace tidemoor {

void RefreshGate::Run(std::function<void()> job) {
  if (running_) {
    next_ = std::move(job);
    return;
  }
  running_ = true;
  while (job) {
    job();
    job = std::exchange(next_, nullptr);
  }
  running_ = false;
}

}  // namespace tidemoor
