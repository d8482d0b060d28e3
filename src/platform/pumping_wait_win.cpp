#include "platform/pumping_wait_win.h"

#include <algorithm>

#include "platform/unique_handle_win.h"

namespace tidemoor {
namespace {

// Every kind of input up to hot keys, sent messages included (without raw input).
constexpr DWORD kWakeMask = 0xFF;

double UnitMilliseconds(WaitUnit unit) {
  switch (unit) {
    case WaitUnit::Milliseconds:
      return 1.0;
    case WaitUnit::Seconds:
      return 1'000.0;
    case WaitUnit::Minutes:
      return 60'000.0;
    case WaitUnit::Hours:
      return 3'600'000.0;
  }
  return 1.0;
}

}  // namespace

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

bool PumpUntil(const std::function<bool()>& done, std::chrono::milliseconds timeout) {
  const ULONGLONG deadline =
      ::GetTickCount64() + static_cast<ULONGLONG>(std::max<int64_t>(timeout.count(), 0));
  for (;;) {
    if (done()) return true;
    const ULONGLONG now = ::GetTickCount64();
    if (now >= deadline) return false;
    MSG quit;
    if (::PeekMessageW(&quit, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE)) return done();
    // Short slices: done() may turn true without a message (a process that ends). A message
    // already in the queue counts too: the look for a quit above marks every waiting message as
    // seen, and a plain wait would then sleep past a worker's result.
    const DWORD slice = static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, 50));
    if (::MsgWaitForMultipleObjectsEx(0, nullptr, slice, kWakeMask, MWMO_INPUTAVAILABLE) ==
        WAIT_OBJECT_0) {
      DispatchWaitingMessages();
    }
  }
}

void MessageBreaks::Take() {
  constexpr unsigned long long kMillisecondsBetweenBreaks = 15;
  const unsigned long long now = ::GetTickCount64();
  if (taken_ && now - lastBreak_ < kMillisecondsBetweenBreaks) return;
  taken_ = true;
  lastBreak_ = now;
  DispatchWaitingMessages();
}

bool PumpMessagesUntilSignalled(HANDLE timer, std::chrono::milliseconds length) {
  const ULONGLONG deadline =
      ::GetTickCount64() + static_cast<ULONGLONG>(std::max<int64_t>(length.count(), 0));
  if (timer) {
    for (;;) {
      const DWORD result = ::MsgWaitForMultipleObjects(1, &timer, FALSE, INFINITE, kWakeMask);
      if (result == WAIT_OBJECT_0) return true;
      if (result != WAIT_OBJECT_0 + 1) break;
      DispatchWaitingMessages();
    }
  }
  const ULONGLONG now = ::GetTickCount64();
  if (now < deadline) {
    ::Sleep(static_cast<DWORD>(std::min<ULONGLONG>(deadline - now, INFINITE - 1)));
  }
  return true;
}

bool PumpingWait(int64_t amount, WaitUnit unit) {
  const double milliseconds = static_cast<double>(amount) * UnitMilliseconds(unit);
  LARGE_INTEGER due;
  due.QuadPart = static_cast<int64_t>(milliseconds * -10'000.0);  // relative, in 100 ns
  UniqueHandle timer(::CreateWaitableTimerW(nullptr, FALSE, nullptr));
  if (timer && !::SetWaitableTimer(timer.get(), &due, 0, nullptr, nullptr, FALSE)) timer.reset();
  return PumpMessagesUntilSignalled(timer.get(),
                                    std::chrono::milliseconds(static_cast<int64_t>(milliseconds)));
}

}  // namespace tidemoor
