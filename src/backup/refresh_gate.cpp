#include "backup/refresh_gate.h"

#include <utility>

namespace tidemoor {

void RefreshGate::Run(Job job) {
  if (running_) {
    next_ = std::move(job);
    return;
  }
  running_ = true;
  job([this] { Finished(); });
}

void RefreshGate::Finished() {
  running_ = false;
  if (Job next = std::exchange(next_, nullptr)) Run(std::move(next));
}

}  // namespace tidemoor
