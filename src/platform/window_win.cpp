#include "platform/window_win.h"

#include <commctrl.h>

#include "platform/codepage_win.h"
#include "platform/message_box_win.h"

namespace tidemoor {
namespace {

constexpr UINT_PTR kLabelSubclassId = 0x7A00;
constexpr UINT_PTR kOverlapSubclassId = 0x7A01;

// A check box paints its whole rectangle, blanks of its caption included, whenever its state
// changes; the edit box that sits in those blanks is drawn again right after.
LRESULT OverlappedBoxMessage(HWND box, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR edit) {
  const LRESULT result = ::DefSubclassProc(box, message, wParam, lParam);
  switch (message) {
    case WM_PAINT:
    case BM_SETCHECK:
    case BM_SETSTATE:
    case WM_SETFOCUS:
    case WM_KILLFOCUS:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_MOUSEMOVE:
    case WM_MOUSELEAVE:
    case WM_SETTEXT:
    case WM_ENABLE:
    case WM_UPDATEUISTATE:
      ::RedrawWindow(reinterpret_cast<HWND>(edit), nullptr, nullptr,
                     RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW);
      break;
  }
  return result;
}

LRESULT ClickableLabelMessage(HWND label, UINT message, WPARAM wParam, LPARAM lParam, DWORD_PTR) {
  switch (message) {
    case WM_SETCURSOR:
      ::SetCursor(::LoadCursorW(nullptr, IDC_HAND));
      return TRUE;
    case WM_NCHITTEST:
      // Statics are transparent to the mouse unless they say otherwise.
      return HTCLIENT;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN: {
      const WORD code = message == WM_LBUTTONDOWN ? kLabelLeftPressed : kLabelRightPressed;
      const int id = ::GetDlgCtrlID(label);
      ::SendMessageW(::GetParent(label), WM_COMMAND, MAKEWPARAM(id, code),
                     reinterpret_cast<LPARAM>(label));
      return 0;
    }
  }
  return ::DefSubclassProc(label, message, wParam, lParam);
}

}  // namespace

void ReportUnexpectedError(HWND window) noexcept {
  // A handler that keeps failing (painting, say, which the open box itself brings about) must
  // not stack up boxes while the first one is open.
  static thread_local bool reporting = false;
  if (reporting) return;
  reporting = true;
  try {
    ShowMessage(window ? ::GetAncestor(window, GA_ROOT) : nullptr, " 发生意外错误 - 操作未完成 ",
                " Error", MB_OK | MB_ICONERROR | MB_TASKMODAL);
  } catch (...) {
    // Nothing is left to tell the user with; the window still keeps working.
  }
  reporting = false;
}

int ScaleForDpi(int pixels, UINT dpi) {
  return ::MulDiv(pixels, static_cast<int>(dpi), 96);
}

UINT WindowDpi(HWND window) {
  const UINT dpi = window ? ::GetDpiForWindow(window) : 0;
  return dpi ? dpi : 96;
}

UniqueGdiObject CreateUiFont(UINT dpi) {
  LOGFONTW font{};
  font.lfHeight = -ScaleForDpi(12, dpi);
  font.lfWeight = FW_NORMAL;
  font.lfCharSet = DEFAULT_CHARSET;
  font.lfQuality = CLEARTYPE_QUALITY;
  lstrcpynW(font.lfFaceName, L"微软雅黑", LF_FACESIZE);
  return UniqueGdiObject(::CreateFontIndirectW(&font));
}

void SizeWindowForDpi(HWND window, int width, int height) {
  const UINT dpi = WindowDpi(window);
  ::SetWindowPos(window, nullptr, 0, 0, ScaleForDpi(width, dpi), ScaleForDpi(height, dpi),
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

ChildControl ToChildControl(const ControlDefinition& definition) {
  ChildControl control{static_cast<int>(definition.id),
                       L"STATIC",
                       0,
                       0,
                       definition.caption,
                       definition.x,
                       definition.y,
                       definition.width,
                       definition.height};
  switch (definition.kind) {
    case ControlKind::GroupBox:
      control.className = L"BUTTON";
      control.style = BS_GROUPBOX;
      break;
    case ControlKind::Button:
      control.className = L"BUTTON";
      control.style = BS_PUSHBUTTON | WS_TABSTOP;
      break;
    case ControlKind::CheckBox:
      control.className = L"BUTTON";
      control.style = BS_AUTOCHECKBOX | WS_TABSTOP;
      break;
    case ControlKind::Separator:
      control.style = SS_ETCHEDHORZ;
      break;
    case ControlKind::Label:
      control.style = SS_LEFT | SS_CENTERIMAGE;
      break;
    case ControlKind::ClickableLabel:
      control.style = SS_LEFT | SS_CENTERIMAGE | SS_NOTIFY;
      break;
    case ControlKind::Edit:
      control.className = L"EDIT";
      control.style = ES_AUTOHSCROLL | WS_TABSTOP;
      control.exStyle = WS_EX_CLIENTEDGE;
      break;
  }
  return control;
}

void CreateChildControls(HWND parent, std::span<const ChildControl> controls, HFONT font,
                         UINT dpi) {
  for (const ChildControl& entry : controls) {
    const HWND control = ::CreateWindowExW(
        entry.exStyle, entry.className, Widen(entry.caption).c_str(),
        WS_CHILD | WS_VISIBLE | entry.style, ScaleForDpi(entry.x, dpi), ScaleForDpi(entry.y, dpi),
        ScaleForDpi(entry.width, dpi), ScaleForDpi(entry.height, dpi), parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(entry.id)), ::GetModuleHandleW(nullptr),
        nullptr);
    if (!control) continue;
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    const bool isButton = lstrcmpiW(entry.className, L"BUTTON") == 0;
    const bool isStatic = lstrcmpiW(entry.className, L"STATIC") == 0;
    if (isButton && (entry.style & BS_TYPEMASK) == BS_GROUPBOX) {
      ::SetWindowPos(control, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    if (isStatic && (entry.style & SS_NOTIFY)) MakeLabelClickable(control);
  }
}

void PlaceChildControls(HWND parent, std::span<const ChildControl> controls, HFONT font, UINT dpi) {
  for (const ChildControl& entry : controls) {
    const HWND control = ::GetDlgItem(parent, entry.id);
    ::SetWindowPos(control, nullptr, ScaleForDpi(entry.x, dpi), ScaleForDpi(entry.y, dpi),
                   ScaleForDpi(entry.width, dpi), ScaleForDpi(entry.height, dpi),
                   SWP_NOZORDER | SWP_NOACTIVATE);
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  }
}

void MakeLabelClickable(HWND label) {
  ::SetWindowSubclass(label, &SubclassWithoutEscape<&ClickableLabelMessage>, kLabelSubclassId, 0);
}

void KeepEditAboveBox(HWND box, HWND edit) {
  ::SetWindowPos(edit, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  ::SetWindowSubclass(box, &SubclassWithoutEscape<&OverlappedBoxMessage>, kOverlapSubclassId,
                      reinterpret_cast<DWORD_PTR>(edit));
}

void BringWindowForward(HWND window) {
  if (::IsIconic(window)) ::ShowWindow(window, SW_RESTORE);
  ::SetForegroundWindow(window);
  ::BringWindowToTop(window);
}

}  // namespace tidemoor
