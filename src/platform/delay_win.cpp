#include "platform/delay_win.h"

#include <utility>

namespace tidemoor {

Delay::Delay() = default;
Delay::~Delay() = default;

void Delay::After(std::chrono::milliseconds wait, std::function<void()> then) {
  then_ = std::move(then);
  timer_.Start(wait, [this] { Fire(); });
}

void Delay::Cancel() {
  timer_.Stop();
  then_ = nullptr;
}

// The function may put this Delay away or start the next wait: it is taken out first and
// nothing of this object is touched after it.
void Delay::Fire() {
  timer_.Stop();
  std::function<void()> then = std::exchange(then_, nullptr);
  if (then) then();
}

}  // namespace tidemoor
