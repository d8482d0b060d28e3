#pragma once
// Everything that comes back to the window's thread comes through one message-only window for
// the whole tool: the results of background jobs and the ticks of every Delay and Ticker. Each
// runs between the window messages, one per message, like any other event: so it may open a box
// or put its own owner away, and the windows never see two threads.

#include <windows.h>

#include <chrono>
#include <functional>

namespace tidemoor {

// Makes the dispatcher on the calling thread, which must be the window's (the thread whose
// message loop then runs what is handed back); later calls do nothing. Whatever hands work off
// the window's thread calls this first, so the work can hand back from any thread.
void PrepareDispatcher();

// Runs the function on the window's thread between its messages, one per message, in the order
// handed back. Safe from any thread once the dispatcher is prepared.
void HandBack(std::function<void()> function);

// One timer of the dispatcher's window, for a Delay, a Ticker or a request's time limit. Made,
// used and put away on the window's thread; a tick never runs once it is stopped or gone.
class DispatchTimer {
 public:
  DispatchTimer() = default;
  ~DispatchTimer();
  DispatchTimer(const DispatchTimer&) = delete;
  DispatchTimer& operator=(const DispatchTimer&) = delete;

  // Runs tick every period (10 ms at least) until stopped; starting again replaces both.
  void Start(std::chrono::milliseconds period, std::function<void()> tick);
  void Stop();

 private:
  UINT_PTR id_ = 0;  // given at the first start, never given to another timer
};

}  // namespace tidemoor
