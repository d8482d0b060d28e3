#include "platform/ticker_win.h"

#include <utility>

namespace tidemoor {

Ticker::Ticker() = default;

Ticker::~Ticker() {
  Stop();
}

void Ticker::Every(std::chrono::milliseconds period, std::function<void()> tick) {
  if (period.count() <= 0) {
    Stop();
    return;
  }
  tick_ = std::make_shared<std::function<void()>>(std::move(tick));
  timer_.Start(period, [this] {
    const std::shared_ptr<std::function<void()>> running = tick_;
    if (running && *running) (*running)();
  });
}

void Ticker::Stop() {
  timer_.Stop();
  tick_.reset();
}

bool Ticker::Running() const {
  return tick_ != nullptr;
}

}  // namespace tidemoor
