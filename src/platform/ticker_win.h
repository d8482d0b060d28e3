#pragma once
// A repeating timer that never holds the user-interface thread: each tick runs between the window
// messages, like any other event, until the Ticker is stopped or put away.

#include <chrono>
#include <functional>
#include <memory>

#include "platform/dispatcher_win.h"

namespace tidemoor {

class Ticker {
 public:
  Ticker();
  ~Ticker();  // stops it; a tick never runs after
  Ticker(const Ticker&) = delete;
  Ticker& operator=(const Ticker&) = delete;
  // Runs tick every period, between window messages, until stopped or re-armed; a period of 0
  // stops it. Re-arming replaces the period and the function.
  void Every(std::chrono::milliseconds period, std::function<void()> tick);
  void Stop();
  bool Running() const;

 private:
  DispatchTimer timer_;
  // Shared with the tick that runs, so a tick that re-arms or stops its Ticker runs to its end.
  std::shared_ptr<std::function<void()>> tick_;
};

}  // namespace tidemoor
