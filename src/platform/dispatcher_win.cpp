#include "platform/dispatcher_win.h"

#include <algorithm>
#include <deque>
#include <mutex>
#include <unordered_map>
#include <utility>

#include "platform/window_win.h"

namespace tidemoor {
namespace {

constexpr UINT kHandedBackMessage = WM_APP + 0x52;
constexpr wchar_t kDispatcherClass[] = L"TidemoorDispatcher";

class Dispatcher {
 public:
  Dispatcher() {
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = &Dispatcher::WindowProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = kDispatcherClass;
    ::RegisterClassW(&windowClass);
    window_ = ::CreateWindowExW(0, kDispatcherClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                windowClass.hInstance, nullptr);
  }

  void HandBack(std::function<void()> function) {
    std::lock_guard lock(mutex_);
    handedBack_.push_back(std::move(function));
    AskForTurnLocked();
  }

  UINT_PTR NewTimer() { return ++lastTimer_; }

  void StartTimer(UINT_PTR timer, std::chrono::milliseconds period, std::function<void()> tick) {
    timers_[timer] = std::move(tick);
    const auto milliseconds = std::clamp<std::chrono::milliseconds::rep>(
        period.count(), USER_TIMER_MINIMUM, USER_TIMER_MAXIMUM);
    ::SetTimer(window_, timer, static_cast<UINT>(milliseconds), nullptr);
  }

  void StopTimer(UINT_PTR timer) {
    ::KillTimer(window_, timer);
    timers_.erase(timer);
  }

 private:
  // One message stands for the next function waiting, so the thread's message queue (10,000
  // messages at most) never fills however many results come back at once.
  void AskForTurnLocked() {
    if (!messagePosted_ && !handedBack_.empty()) {
      messagePosted_ = ::PostMessageW(window_, kHandedBackMessage, 0, 0) != FALSE;
    }
  }

  // The next one is asked for before this one runs: a function that opens a box lets the
  // results behind it through, as each result had a message of its own.
  void RunOneHandedBack() {
    std::function<void()> function;
    {
      std::lock_guard lock(mutex_);
      messagePosted_ = false;
      if (handedBack_.empty()) return;
      function = std::move(handedBack_.front());
      handedBack_.pop_front();
      AskForTurnLocked();
    }
    function();
  }

  // The tick may stop, restart or put away its own timer: it runs from a copy.
  void Tick(UINT_PTR timer) {
    const auto found = timers_.find(timer);
    if (found == timers_.end()) {
      ::KillTimer(window_, timer);
      return;
    }
    const std::function<void()> tick = found->second;
    tick();
  }

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  HWND window_ = nullptr;
  std::mutex mutex_;
  std::deque<std::function<void()>> handedBack_;
  bool messagePosted_ = false;
  // The window's thread alone touches the timers.
  std::unordered_map<UINT_PTR, std::function<void()>> timers_;
  UINT_PTR lastTimer_ = 0;
};

// Made once and never put away: a job on the pool may still hand back while the tool ends, and
// the window goes with the process.
Dispatcher& TheDispatcher() {
  static Dispatcher* const dispatcher = new Dispatcher();
  return *dispatcher;
}

// What is handed back belongs to the whole tool, not to a window the user acts in: an exception
// is told through the active window's prompt, or the system's box when none is active.
LRESULT CALLBACK Dispatcher::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != kHandedBackMessage && message != WM_TIMER) {
    return ::DefWindowProcW(window, message, wParam, lParam);
  }
  try {
    if (message == kHandedBackMessage) {
      TheDispatcher().RunOneHandedBack();
    } else {
      TheDispatcher().Tick(wParam);
    }
  } catch (...) {
    ReportUnexpectedError(::GetActiveWindow());
  }
  return 0;
}

}  // namespace

void PrepareDispatcher() {
  TheDispatcher();
}

void HandBack(std::function<void()> function) {
  TheDispatcher().HandBack(std::move(function));
}

DispatchTimer::~DispatchTimer() {
  Stop();
}

void DispatchTimer::Start(std::chrono::milliseconds period, std::function<void()> tick) {
  Dispatcher& dispatcher = TheDispatcher();
  if (id_ == 0) id_ = dispatcher.NewTimer();
  dispatcher.StartTimer(id_, period, std::move(tick));
}

void DispatchTimer::Stop() {
  if (id_ != 0) TheDispatcher().StopTimer(id_);
}

}  // namespace tidemoor
