#pragma once
// A pause that keeps the windows alive: window messages are handled while it waits, so other
// event handlers (a click, a timer tick) may run before it returns.

#include <windows.h>

#include <chrono>
#include <cstdint>

namespace tidemoor {

enum class WaitUnit { Milliseconds = 0, Seconds = 1, Minutes = 2, Hours = 3 };

// Waits amount units while dispatching this thread's messages; a WM_QUIT is left in the queue for
// the main loop. Returns true once the time has passed (always, also on the fallback below).
bool PumpingWait(int64_t amount, WaitUnit unit);

// The wait itself, on an armed timer. When there is no timer, or waiting on it fails, the rest of
// the time is spent in a plain wait instead of looping for ever. Exposed for tests.
bool PumpMessagesUntilSignalled(HANDLE timer, std::chrono::milliseconds length);

}  // namespace tidemoor
