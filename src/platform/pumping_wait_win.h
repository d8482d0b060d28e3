#pragma once
// A pause that keeps the windows alive: window messages are handled while it waits, so other
// event handlers (a click, a timer tick) may run before it returns.

#include <windows.h>

#include <chrono>
#include <cstdint>
#include <functional>

namespace tidemoor {

enum class WaitUnit { Milliseconds = 0, Seconds = 1, Minutes = 2, Hours = 3 };

// Waits amount units while dispatching this thread's messages; a WM_QUIT is left in the queue for
// the main loop. Returns true once the time has passed (always, also on the fallback below).
bool PumpingWait(int64_t amount, WaitUnit unit);

// Lets this thread's messages through until done() holds or the timeout passes; true when done()
// held. A result handed back by a worker (a message) is what usually makes done() true. Ends early
// when the message loop has been asked to quit.
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout);

// Dispatches the messages waiting in this thread's queue and returns. A quit request is left in
// the queue, so the message loop that owns it still ends.
void DispatchWaitingMessages();

// For loops over many entries: lets the waiting messages through at the first call and then at
// most every few milliseconds. Asking for messages costs a round trip to the window system each
// time, which would otherwise take a good part of a listing of thousands of entries, while the
// windows stay just as responsive.
class MessageBreaks {
 public:
  void Take();

 private:
  unsigned long long lastBreak_ = 0;
  bool taken_ = false;
};

// The wait itself, on an armed timer. When there is no timer, or waiting on it fails, the rest of
// the time is spent in a plain wait instead of looping for ever. Exposed for tests.
bool PumpMessagesUntilSignalled(HANDLE timer, std::chrono::milliseconds length);

}  // namespace tidemoor
