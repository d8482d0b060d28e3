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

}  // namespace tidemoor
