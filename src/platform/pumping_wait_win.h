#pragma once
// A pause that keeps the windows alive: window messages are handled while it waits, so other
// event handlers (a click, a timer tick) may run before it returns.

#include <windows.h>

#include <chrono>
#include <functional>

namespace tidemoor {

// Lets this thread's messages through until done() holds or the timeout passes; true when done()
// held. A result handed back by a worker (a message) is what usually makes done() true. Ends early
// when the message loop has been asked to quit, leaving the WM_QUIT in the queue for it. A plain
// pause is a done() that never holds.
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

}  // namespace tidemoor
