#include "net/clipboard_win.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <optional>
#include <string>
#include <thread>

#include "platform/codepage_win.h"
#include "support/pumping_wait_win.h"

namespace tidemoor {
namespace {

using namespace std::chrono_literals;

std::string ClipboardText() {
  std::string text;
  if (!::OpenClipboard(nullptr)) return "<busy>";
  if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
    if (const void* bytes = ::GlobalLock(data)) {
      text = Narrow(static_cast<const wchar_t*>(bytes));
      ::GlobalUnlock(data);
    }
  }
  ::CloseClipboard();
  return text;
}

// Another program holding the clipboard (a clipboard manager reading the last change) for a
// moment does not lose the copy; one that holds it past the tries is told as a failure. The
// window's messages go on meanwhile.
TEST(CopyToClipboard, WaitsForAClipboardHeldElsewhereForAMoment) {
  const struct {
    std::chrono::milliseconds held;
    bool copied;
  } cases[] = {{0ms, true}, {60ms, true}, {3000ms, false}};
  int round = 0;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.held.count());
    const std::string text = "联机地址 203.0.113." + std::to_string(++round) + ":8211";
    std::atomic<bool> holding = false;
    std::thread holder([&] {
      if (c.held.count() == 0) return;
      // The clipboard tells owners apart by window: the holder opens it with one of its own.
      const HWND window = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                            nullptr, nullptr);
      while (!::OpenClipboard(window)) ::Sleep(5);
      holding = true;
      std::this_thread::sleep_for(c.held);
      ::CloseClipboard();
      ::DestroyWindow(window);
    });
    while (c.held.count() > 0 && !holding) std::this_thread::yield();
    std::optional<bool> copied;
    CopyToClipboard(nullptr, text, [&](bool done) { copied = done; });
    EXPECT_TRUE(PumpUntil([&] { return copied.has_value(); }, 10s));
    holder.join();
    EXPECT_EQ(copied, c.copied);
    EXPECT_EQ(ClipboardText() == text, c.copied);
  }
}

}  // namespace
}  // namespace tidemoor
