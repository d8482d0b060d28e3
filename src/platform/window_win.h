#pragma once
// The one window wrapper: a class registered per window type whose WNDPROC forwards to the
// derived class's HandleMessage, plus control creation from a table, DPI scaling and the UI font.

#include <windows.h>
#include <commctrl.h>

#include <span>
#include <string>
#include <string_view>

#include "platform/control_table.h"
#include "platform/prompt.h"
#include "platform/unique_handle_win.h"

namespace tidemoor {

// WM_COMMAND notification codes sent by clickable labels when a mouse button goes down on them
// (the label acts on press, not on release).
inline constexpr WORD kLabelLeftPressed = 0x7A01;
inline constexpr WORD kLabelRightPressed = 0x7A02;

// Tells the user that what they asked for ended in an unexpected error, through the prompt of
// the window's top-level window (a BaseWindow).
void ReportUnexpectedError(HWND window) noexcept;

// The message through which a child control's failure reaches its top-level window's prompt.
UINT UnexpectedErrorMessage();

// Shows the unexpected-error box through the prompt (the system's boxes when there is none). A
// handler that keeps failing while the box is open (painting, say, which the box brings about)
// adds no second box.
void TellUnexpectedError(Prompt* prompt) noexcept;

// Runs one message's handling for a procedure the system calls, which cannot unwind through its
// own frames. An exception ends here: the user is told the action was not completed, and the
// message gets what its default handling answers, so the window keeps working.
template <typename Handling, typename DefaultHandling>
LRESULT HandleWithoutEscape(HWND window, Handling&& handling,
                            DefaultHandling&& byDefault) noexcept {
  try {
    return handling();
  } catch (...) {
    ReportUnexpectedError(window);
  }
  return byDefault();
}

// A subclass procedure (SetWindowSubclass) around a handling function that takes the reference
// data given there. The handling runs without escape, and the subclass goes with the window even
// when its handling of the last message fails.
using SubclassHandling = LRESULT (*)(HWND, UINT, WPARAM, LPARAM, DWORD_PTR);
template <SubclassHandling Handling>
LRESULT CALLBACK SubclassWithoutEscape(HWND window, UINT message, WPARAM wParam, LPARAM lParam,
                                       UINT_PTR id, DWORD_PTR data) {
  if (message == WM_NCDESTROY) ::RemoveWindowSubclass(window, &SubclassWithoutEscape<Handling>, id);
  return HandleWithoutEscape(
      window, [&] { return Handling(window, message, wParam, lParam, data); },
      [&] { return ::DefSubclassProc(window, message, wParam, lParam); });
}

template <typename Derived>
class BaseWindow {
 public:
  HWND Handle() const { return window_; }

 protected:
  // Registers the class once and creates the window; the object must outlive it.
  HWND CreateBaseWindow(const wchar_t* className, const wchar_t* title, DWORD style, int width,
                        int height, HWND owner, DWORD exStyle = 0) {
    WNDCLASSEXW wc{sizeof(wc)};
    HINSTANCE instance = ::GetModuleHandleW(nullptr);
    if (!::GetClassInfoExW(instance, className, &wc)) {
      wc = WNDCLASSEXW{sizeof(wc)};
      wc.lpfnWndProc = &BaseWindow::WindowProc;
      wc.hInstance = instance;
      wc.lpszClassName = className;
      wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
      wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
      wc.hIcon = ::LoadIconW(instance, MAKEINTRESOURCEW(1));
      ::RegisterClassExW(&wc);
    }
    return ::CreateWindowExW(exStyle, className, title, style, CW_USEDEFAULT, CW_USEDEFAULT, width,
                             height, owner, nullptr, instance, this);
  }

  LRESULT DefaultHandling(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcW(window_, message, wParam, lParam);
  }

  // The control the window's enumeration names.
  template <typename ControlEnum>
  HWND Control(ControlEnum control) const {
    return ::GetDlgItem(window_, ControlNumber(control));
  }

  HWND window_ = nullptr;
  // Where this window's unexpected errors (and those of its controls) are told.
  Prompt* errorPrompt_ = nullptr;

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    Derived* self = nullptr;
    if (message == WM_NCCREATE) {
      auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
      self = static_cast<Derived*>(static_cast<BaseWindow*>(create->lpCreateParams));
      self->window_ = hwnd;
      ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    } else {
      self = reinterpret_cast<Derived*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    }
    if (!self) return ::DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == UnexpectedErrorMessage()) {
      TellUnexpectedError(self->errorPrompt_);
      return 0;
    }
    const LRESULT result = HandleWithoutEscape(
        hwnd, [&] { return self->HandleMessage(message, wParam, lParam); },
        [&] { return ::DefWindowProcW(hwnd, message, wParam, lParam); });
    if (message == WM_NCDESTROY) {
      ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
      self->window_ = nullptr;
    }
    return result;
  }
};

// How a window takes the place the system suggests when it moves to a screen of another DPI: a
// window that sizes itself for the DPI takes only the position.
enum class SuggestedPlace { PositionAndSize, PositionOnly };

// Moves the window as a WM_DPICHANGED (wParam, lParam) suggests; returns the new DPI, for which
// the window then places its controls.
UINT FollowDpiChange(HWND window, WPARAM wParam, LPARAM lParam,
                     SuggestedPlace take = SuggestedPlace::PositionAndSize);

// Pixels at 96 DPI -> pixels at the window's DPI.
int ScaleForDpi(int pixels, UINT dpi);
UINT WindowDpi(HWND window);

// A column of a report list: its caption and its width at 96 DPI.
struct ListColumn {
  const char* caption;
  int width;
};
// Full-row selection, grid lines and the columns with their captions.
void AddListColumns(HWND list, std::span<const ListColumn> columns);
// The columns' widths at the DPI.
void SizeListColumns(HWND list, std::span<const ListColumn> columns, UINT dpi);

// The UI font 微软雅黑 at height -12, scaled to the DPI.
UniqueGdiObject CreateUiFont(UINT dpi);

// Resizes a top-level window so that its outer size is width x height at 96 DPI, scaled.
void SizeWindowForDpi(HWND window, int width, int height);

// Creates the controls in table order, placed for the DPI in a UI font made for it, which
// font keeps. Group boxes go to the bottom of the z-order so they never hide what they frame.
void CreateControlsForDpi(HWND parent, std::span<const ControlDefinition> controls, UINT dpi,
                          UniqueGdiObject& font);

// Moves the controls to their places for a new DPI and gives them a new font; the old one in font
// is released only once no control uses it.
void PlaceControlsForDpi(HWND parent, std::span<const ControlDefinition> controls, UINT dpi,
                         UniqueGdiObject& font);

// Registers the common control classes the tool's windows use (list views among them), once.
void InitCommonControlClasses();

// The tabs of a tab strip, in order.
void AddTabs(HWND tabs, std::span<const char* const> captions);
// Shows or hides every control of the table (the page of a tab strip).
void ShowControls(HWND parent, std::span<const ControlDefinition> controls, bool shown);

// Makes a static control act like a clickable label (used by the other windows too).
void MakeLabelClickable(HWND label);

// An edit box placed inside a check box's caption stays visible over it.
void KeepEditAboveBox(HWND box, HWND edit);

// Brings a window forward, restoring it when minimised.
void BringWindowForward(HWND window);

}  // namespace tidemoor
