#include "support/pumping_wait_win.h"

#include <gtest/gtest.h>

#include "platform/worker_win.h"

namespace tidemoor {
namespace {

using std::chrono::milliseconds;

ULONGLONG ElapsedSince(ULONGLONG start) {
  return ::GetTickCount64() - start;
}

// A message-only window that counts what reaches it.
struct CountingWindow {
  static inline int received = 0;
  static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP) ++received;
    return ::DefWindowProcW(window, message, wParam, lParam);
  }
  CountingWindow() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &Procedure;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"TidemoorPumpingWaitTest";
    ::RegisterClassW(&windowClass);
    window = ::CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE,
                               nullptr, windowClass.hInstance, nullptr);
    received = 0;
  }
  ~CountingWindow() { ::DestroyWindow(window); }
  HWND window;
};

bool Never() {
  return false;
}

TEST(PumpUntil, ZeroReturnsAtOnce) {
  const ULONGLONG start = ::GetTickCount64();
  EXPECT_FALSE(PumpUntil(Never, milliseconds(0)));
  EXPECT_LT(ElapsedSince(start), 200u);
}

TEST(PumpUntil, DispatchesPostedMessagesBeforeItReturns) {
  CountingWindow counter;
  ::PostMessageW(counter.window, WM_APP, 0, 0);
  const ULONGLONG start = ::GetTickCount64();
  EXPECT_FALSE(PumpUntil(Never, milliseconds(1000)));
  EXPECT_GE(ElapsedSince(start), 950u);
  EXPECT_LT(ElapsedSince(start), 3000u);
  EXPECT_EQ(CountingWindow::received, 1);
}

TEST(PumpUntil, EndsAtAQuitAndLeavesItForTheMainLoop) {
  ::PostQuitMessage(3);
  const ULONGLONG start = ::GetTickCount64();
  EXPECT_FALSE(PumpUntil(Never, milliseconds(5000)));
  EXPECT_LT(ElapsedSince(start), 3000u);
  MSG message;
  ASSERT_TRUE(::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(message.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(message.wParam, 3u);
}

}  // namespace
}  // namespace tidemoor

namespace tidemoor {
namespace {

// A worker's result that reached the queue before the wait began, and that something already
// looked at (the wait's own look for a quit does), is still handled: the wait must not sleep
// until its timeout because no new message arrives.
TEST(PumpUntil, HandlesAResultThatWasWaitingBeforeItBegan) {
  Worker worker;
  bool handled = false;
  worker.Run([] {}, [&] { handled = true; });
  while ((HIWORD(::GetQueueStatus(QS_POSTMESSAGE)) & QS_POSTMESSAGE) == 0) ::Sleep(1);
  MSG unused;
  ::PeekMessageW(&unused, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE);
  EXPECT_TRUE(PumpUntil([&] { return handled; }, std::chrono::seconds(5)));
}

}  // namespace
}  // namespace tidemoor
