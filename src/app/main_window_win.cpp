#include "app/main_window_win.h"

#include <commctrl.h>

#include <optional>

#include "app/tool_settings_binding.h"
#include "platform/check_box_text_win.h"
#include "platform/codepage_win.h"

namespace tidemoor {
namespace {

using C = MainControl;

constexpr COLORREF kLinkColour = RGB(0, 102, 204);
constexpr UINT kShownMessage = WM_APP + 1;

const MainControlRow* RowOf(int id) {
  for (const MainControlRow& row : MainWindowRows()) {
    if (row.control.id == id) return &row;
  }
  return nullptr;
}

bool IsClickableLabel(int id) {
  const MainControlRow* row = RowOf(id);
  return row && row->control.kind == ControlKind::ClickableLabel;
}

}  // namespace

bool MainWindow::Create() {
  return CreateBaseWindow(kMainWindowClass, L"Tidemoor",
                          WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                          kMainWindowWidth, kMainWindowHeight, nullptr) != nullptr;
}

void MainWindow::Show(bool minimised) {
  ::ShowWindow(window_, minimised ? SW_SHOWMINNOACTIVE : SW_SHOWNORMAL);
  ::UpdateWindow(window_);
}

// A posted message comes out of the queue before keyboard and mouse input.
void MainWindow::FinishShowingLater() {
  ::PostMessageW(window_, kShownMessage, 0, 0);
}

std::string MainWindow::Text(MainControl control) const {
  return WindowText(Control(control));
}

void MainWindow::SetText(MainControl control, std::string_view text) {
  SetWindowTextUtf8(Control(control), text);
}

bool MainWindow::IsTicked(MainControl control) const {
  return ::SendMessageW(Control(control), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void MainWindow::SetTicked(MainControl control, bool ticked) {
  ::SendMessageW(Control(control), BM_SETCHECK, ticked ? BST_CHECKED : BST_UNCHECKED, 0);
}

void MainWindow::ShowProgress(MainControl bar, std::optional<int> percent) {
  const HWND control = Control(bar);
  if (percent) ::SendMessageW(control, PBM_SETPOS, static_cast<WPARAM>(*percent), 0);
  ::ShowWindow(control, percent ? SW_SHOWNA : SW_HIDE);
}

void MainWindow::SetTimerInterval(MainControl timer, unsigned milliseconds) {
  const auto id = static_cast<UINT_PTR>(timer);
  if (milliseconds == 0) {
    ::KillTimer(window_, id);
  } else {
    ::SetTimer(window_, id, milliseconds, nullptr);
  }
}

void MainWindow::SetTitle(std::string_view title) {
  SetWindowTextUtf8(window_, title);
}

LRESULT MainWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      SizeWindowForDpi(window_, kMainWindowWidth, kMainWindowHeight);
      CreateControls(WindowDpi(window_));
      return 0;
    case WM_COMMAND:
      OnCommand(static_cast<MainControl>(LOWORD(wParam)), HIWORD(wParam));
      return 0;
    case kShownMessage:
      events_.OnShown();
      return 0;
    case WM_TIMER:
      events_.OnTimer(static_cast<MainControl>(wParam));
      return 0;
    case WM_CTLCOLORSTATIC: {
      const auto control = reinterpret_cast<HWND>(lParam);
      const auto dc = reinterpret_cast<HDC>(wParam);
      ::SetBkMode(dc, TRANSPARENT);
      if (IsClickableLabel(::GetDlgCtrlID(control))) ::SetTextColor(dc, kLinkColour);
      return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
    }
    case WM_DPICHANGED:
      OnDpiChanged(FollowDpiChange(window_, wParam, lParam));
      return 0;
    case WM_POWERBROADCAST:
      // Both: a resume with nobody at the keyboard sends only the first.
      if (wParam == PBT_APMRESUMEAUTOMATIC || wParam == PBT_APMRESUMESUSPEND) {
        events_.OnResumedFromSleep();
      }
      return TRUE;
    case WM_CLOSE:
      if (!events_.OnCloseRequested()) return 0;
      break;
    case WM_DESTROY:
      // Children go after their parent's WM_DESTROY: the controls still hold their values here.
      events_.OnClosing();
      ::PostQuitMessage(0);
      return 0;
  }
  return DefaultHandling(message, wParam, lParam);
}

void FitEditIntoCaptionBlanks(HWND box, HWND edit) {
  const std::optional<PixelSpan> blanks = CheckBoxCaptionSpan(box, kMinuteBlanks);
  if (!blanks) return;
  RECT place{};
  ::GetWindowRect(edit, &place);
  ::MapWindowPoints(nullptr, ::GetParent(edit), reinterpret_cast<POINT*>(&place), 2);
  const int inset = ScaleForDpi(1, WindowDpi(edit));
  const int width = blanks->right - blanks->left - 2 * inset;
  if (width <= 0) return;
  ::SetWindowPos(edit, nullptr, blanks->left + inset, place.top, width, place.bottom - place.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::CreateControls(UINT dpi) {
  CreateControlsForDpi(window_, MainWindowLayout(), dpi, font_);
  KeepEditAboveBox(Control(C::IntervalRestartBox), Control(C::IntervalRestartMinutes));
  KeepEditAboveBox(Control(C::AutoBackupBox), Control(C::AutoBackupMinutes));
  FitMinutesIntoCaptions();
  ShowProgress(C::InstallProgressBar, std::nullopt);
}

void MainWindow::OnDpiChanged(UINT dpi) {
  PlaceControlsForDpi(window_, MainWindowLayout(), dpi, font_);
  FitMinutesIntoCaptions();
}

// Measured again at every DPI: where a check box starts its caption depends on the theme, the
// DPI and the font.
void MainWindow::FitMinutesIntoCaptions() {
  FitEditIntoCaptionBlanks(Control(C::IntervalRestartBox), Control(C::IntervalRestartMinutes));
  FitEditIntoCaptionBlanks(Control(C::AutoBackupBox), Control(C::AutoBackupMinutes));
}

// A control that shows a setting hands its new value into the settings value before anything
// acts on it. Labels act when a mouse button goes down on them, not on release (nor on the click
// notice a static control sends then).
void MainWindow::OnCommand(MainControl control, WORD code) {
  const MainControlRow* row = RowOf(static_cast<int>(control));
  if (!row) return;
  MainAction action = nullptr;
  switch (row->control.kind) {
    case ControlKind::Button:
    case ControlKind::CheckBox:
      if (code != BN_CLICKED) return;
      ReadToolSetting(*this, control, settings_);
      events_.BeforeAction();
      action = row->act;
      break;
    case ControlKind::Edit:
      if (code != EN_CHANGE) return;
      ReadToolSetting(*this, control, settings_);
      action = row->act;
      break;
    case ControlKind::ClickableLabel:
      if (code != kLabelLeftPressed && code != kLabelRightPressed) return;
      events_.BeforeAction();
      action = code == kLabelRightPressed ? row->actOnRightPress : row->act;
      break;
    default:
      return;
  }
  if (action) (actions_.*action)();
}

}  // namespace tidemoor
