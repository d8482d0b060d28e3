#include "support/pumping_wait_win.h"

#include <algorithm>
#include <cstdint>

namespace tidemoor {
namespace {

// Every kind of input up to hot keys, sent messages included (without raw input).
constexpr DWORD kWakeMask = 0xFF;

// Dispatches the messages waiting in this thread's queue. A quit request is left in the queue, so
// the message loop that owns it still ends.
void DispatchWaitingMessages() {
  MSG message;
  while (::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE) && message.message != WM_QUIT) {
    if (!::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) break;
    if (message.message == WM_QUIT) {  // arrived between the two looks; it belongs to the main loop
      ::PostQuitMessage(static_cast<int>(message.wParam));
      break;
    }
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
}

}  // namespace

// The fine clock: the tick count moves in whole milliseconds (or coarser), and a wait measured
// with it could give up a fraction of a millisecond before its time.
bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  using Clock = std::chrono::steady_clock;
  const Clock::time_point deadline = Clock::now() + std::max(timeout, std::chrono::milliseconds(0));
  for (;;) {
    if (done()) return true;
    const Clock::time_point now = Clock::now();
    if (now >= deadline) return false;
    MSG quit;
    if (::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) return done();
    // Short slices: done() may turn true without a message (a process that ends). Messages that
    // were already queued when the wait began count too, not only those arriving during it.
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - now);
    const DWORD slice = static_cast<DWORD>(std::min<int64_t>(left.count(), 50));
    if (::MsgWaitForMultipleObjectsEx(0, nullptr, slice, kWakeMask, MWMO_INPUTAVAILABLE) ==
        WAIT_OBJECT_0) {
      DispatchWaitingMessages();
    }
  }
}

}  // namespace tidemoor
