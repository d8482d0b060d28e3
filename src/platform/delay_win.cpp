#include "platform/delay_win.h"

#include <algorithm>
#include <utility>

namespace tidemoor {
namespace {

constexpr wchar_t kDelayClass[] = L"TidemoorDelay";
constexpr UINT_PTR kTimerId = 1;

}  // namespace

Delay::Delay() {
  WNDCLASSW delayClass{};
  delayClass.lpfnWndProc = &Delay::TimerWindowProc;
  delayClass.hInstance = ::GetModuleHandleW(nullptr);
  delayClass.lpszClassName = kDelayClass;
  ::RegisterClassW(&delayClass);
  window_ = ::CreateWindowExW(0, kDelayClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              delayClass.hInstance, nullptr);
  ::SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Delay::~Delay() {
  ::SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
  ::DestroyWindow(window_);
}

void Delay::After(std::chrono::milliseconds wait, std::function<void()> then) {
  then_ = std::move(then);
  const auto milliseconds =
      static_cast<UINT>(std::max<std::chrono::milliseconds::rep>(wait.count(), USER_TIMER_MINIMUM));
  ::SetTimer(window_, kTimerId, milliseconds, nullptr);
}

void Delay::Cancel() {
  ::KillTimer(window_, kTimerId);
  then_ = nullptr;
}

// The function may put this Delay away or start the next wait: it is taken out first and
// nothing of this object is touched after it.
void Delay::Fire() {
  ::KillTimer(window_, kTimerId);
  std::function<void()> then = std::exchange(then_, nullptr);
  if (then) then();
}

LRESULT CALLBACK Delay::TimerWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_TIMER && wParam == kTimerId) {
    if (auto* delay = reinterpret_cast<Delay*>(::GetWindowLongPtrW(window, GWLP_USERDATA))) {
      delay->Fire();
    }
    return 0;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace tidemoor
