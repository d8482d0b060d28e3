#include "platform/ticker_win.h"

#include <algorithm>
#include <utility>

namespace tidemoor {
namespace {

constexpr wchar_t kTickerClass[] = L"TidemoorTicker";
constexpr UINT_PTR kTimerId = 1;

}  // namespace

Ticker::Ticker() {
  WNDCLASSW tickerClass{};
  tickerClass.lpfnWndProc = &Ticker::TimerWindowProc;
  tickerClass.hInstance = ::GetModuleHandleW(nullptr);
  tickerClass.lpszClassName = kTickerClass;
  ::RegisterClassW(&tickerClass);
  window_ = ::CreateWindowExW(0, kTickerClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              tickerClass.hInstance, nullptr);
  ::SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Ticker::~Ticker() {
  ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
  ::DestroyWindow(window_);
}

void Ticker::Every(std::chrono::milliseconds period, std::function<void()> tick) {
  if (period.count() <= 0) {
    Stop();
    return;
  }
  tick_ = std::move(tick);
  const auto milliseconds = static_cast<UINT>(
      std::clamp<std::chrono::milliseconds::rep>(period.count(), USER_TIMER_MINIMUM, 0x7FFFFFFF));
  ::SetTimer(window_, kTimerId, milliseconds, nullptr);
}

void Ticker::Stop() {
  ::KillTimer(window_, kTimerId);
  tick_ = nullptr;
}

// The tick may stop or re-arm this Ticker, or put it away: it runs on a copy.
LRESULT CALLBACK Ticker::TimerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER && wParam == kTimerId) {
    auto* ticker = reinterpret_cast<Ticker*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    if (ticker && ticker->tick_) {
      const std::function<void()> tick = ticker->tick_;
      tick();
    }
    return 0;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace tidemoor
