#pragma once
// A wait that never holds the user-interface thread: the function runs later, as a timer's tick
// between the window messages, like any other event. A Delay put away (or cancelled) before its
// time has come runs nothing, so an operation's pending step ends with the operation.

#include <chrono>
#include <functional>

#include "platform/dispatcher_win.h"

namespace tidemoor {

class Delay {
 public:
  // Made on the user-interface thread; the function runs there.
  Delay();
  ~Delay();
  Delay(const Delay&) = delete;
  Delay& operator=(const Delay&) = delete;

  // Runs then once the time has passed; a wait still pending is replaced.
  void After(std::chrono::milliseconds wait, std::function<void()> then);
  void Cancel();
  bool Pending() const { return static_cast<bool>(then_); }

 private:
  void Fire();

  DispatchTimer timer_;  // the dispatcher's, so a Delay costs no window of its own
  std::function<void()> then_;
};

}  // namespace tidemoor
