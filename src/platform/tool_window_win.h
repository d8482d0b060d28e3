#pragma once
// The skeleton of every window of the tool beside the main one: one of each kind, so a second
// opening brings it forward (restored when minimised); made at its size for its screen's DPI and
// placed again when it moves to a screen of another DPI. Each window adds its controls and what
// they do.

#include <windows.h>

#include <string_view>

#include "platform/codepage_win.h"
#include "platform/prompt.h"
#include "platform/window_win.h"

namespace tidemoor {

// What sets a kind of window apart.
struct ToolWindowKind {
  const wchar_t* className;
  std::string_view title;  // UTF-8
  int width, height;       // outer size at 96 DPI
  // A window that lays itself out for the DPI takes only the position the system suggests.
  SuggestedPlace onDpiChange = SuggestedPlace::PositionAndSize;
};

// Derived gives its kind as `static constexpr ToolWindowKind kKind` and handles, as a friend of
// this skeleton: OnCreate(dpi) (its controls, at the window's DPI), PlaceControls(dpi) (after a
// move to another DPI) and OnMessage(message, wParam, lParam) (every other message).
template <typename Derived>
class ToolWindow : public BaseWindow<Derived> {
 public:
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    Derived& self = static_cast<Derived&>(*this);
    switch (message) {
      case WM_CREATE:
        SizeWindowForDpi(this->window_, Derived::kKind.width, Derived::kKind.height);
        self.OnCreate(WindowDpi(this->window_));
        return 0;
      case WM_DPICHANGED:
        self.PlaceControls(
            FollowDpiChange(this->window_, wParam, lParam, Derived::kKind.onDpiChange));
        return 0;
    }
    return self.OnMessage(message, wParam, lParam);
  }

 protected:
  // True when the window is open already: it has been brought forward, and the opening ends there.
  bool BringForwardIfOpen() {
    if (!this->window_) return false;
    BringWindowForward(this->window_);
    return true;
  }

  // Creates the window owned by owner and shows it; false when it could not be created. errors:
  // where its unexpected failures are told.
  bool Make(HWND owner, Prompt* errors) {
    this->errorPrompt_ = errors;
    const ToolWindowKind& kind = Derived::kKind;
    if (!this->CreateBaseWindow(kind.className, Widen(kind.title).c_str(),
                                WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                                kind.width, kind.height, owner)) {
      return false;
    }
    ::ShowWindow(this->window_, SW_SHOWNORMAL);
    return true;
  }
};

}  // namespace tidemoor
