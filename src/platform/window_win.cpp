#include "platform/window_win.h"

#include <commctrl.h>

#include "platform/codepage_win.h"
#include "platform/prompt_win.h"

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

UINT UnexpectedErrorMessage() {
  static const UINT message = ::RegisterWindowMessageW(L"TidemoorUnexpectedError");
  return message;
}

void ReportUnexpectedError(HWND window) noexcept {
  const HWND root = window ? ::GetAncestor(window, GA_ROOT) : nullptr;
  if (root) {
    ::SendMessageW(root, UnexpectedErrorMessage(), 0, 0);
  } else {
    TellUnexpectedError(nullptr);
  }
}

void TellUnexpectedError(Prompt* prompt) noexcept {
  static thread_local bool telling = false;
  if (telling) return;
  telling = true;
  try {
    WindowsPrompt system;
    (prompt ? *prompt : system).Ask(" 发生意外错误 - 操作未完成 ", " Error", PromptStyle::Error);
  } catch (...) {
    // Nothing is left to tell the user with; the window still keeps working.
  }
  telling = false;
}

UINT FollowDpiChange(HWND window, WPARAM wParam, LPARAM lParam, SuggestedPlace take) {
  const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
  if (take == SuggestedPlace::PositionOnly) {
    ::SetWindowPos(window, nullptr, suggested.left, suggested.top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  } else {
    ::SetWindowPos(window, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                   suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
  }
  return HIWORD(wParam);
}

int ScaleForDpi(int pixels, UINT dpi) {
  return ::MulDiv(pixels, static_cast<int>(dpi), 96);
}

void AddListColumns(HWND list, std::span<const ListColumn> columns) {
  ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
  for (int i = 0; i < static_cast<int>(columns.size()); ++i) {
    std::wstring caption = Widen(columns[i].caption);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = caption.data();
    column.iSubItem = i;
    ::SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
  }
}

void SizeListColumns(HWND list, std::span<const ListColumn> columns, UINT dpi) {
  for (int i = 0; i < static_cast<int>(columns.size()); ++i) {
    ListView_SetColumnWidth(list, i, ScaleForDpi(columns[i].width, dpi));
  }
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

namespace {

struct ControlClass {
  const wchar_t* name;
  DWORD style;  // WS_CHILD | WS_VISIBLE are added
  DWORD exStyle;
};

ControlClass ClassOf(const ControlDefinition& definition) {
  switch (definition.kind) {
    case ControlKind::GroupBox:
      return {L"BUTTON", BS_GROUPBOX, 0};
    case ControlKind::Button:
      return {L"BUTTON", BS_PUSHBUTTON | WS_TABSTOP, 0};
    case ControlKind::CheckBox:
      return {L"BUTTON", BS_AUTOCHECKBOX | WS_TABSTOP, 0};
    case ControlKind::Separator:
      return {L"STATIC", SS_ETCHEDHORZ, 0};
    case ControlKind::Label: {
      // A centred label is one line: its line breaks would show as boxes.
      if (definition.traits & kParagraph) return {L"STATIC", SS_LEFT, 0};
      const DWORD ellipsis = (definition.traits & kEndEllipsis) ? SS_ENDELLIPSIS : 0;
      return {L"STATIC", SS_LEFT | SS_CENTERIMAGE | ellipsis, 0};
    }
    case ControlKind::ClickableLabel:
      return {L"STATIC", SS_LEFT | SS_CENTERIMAGE | SS_NOTIFY, 0};
    case ControlKind::Edit: {
      const DWORD digits = (definition.traits & kDigitsOnly) ? ES_NUMBER : 0;
      const DWORD secret = (definition.traits & kSecretText) ? ES_PASSWORD : 0;
      return {L"EDIT", ES_AUTOHSCROLL | WS_TABSTOP | digits | secret, WS_EX_CLIENTEDGE};
    }
    case ControlKind::ReportList: {
      DWORD style = LVS_REPORT | LVS_SINGLESEL | LVS_SHOWSELALWAYS | WS_TABSTOP;
      if (definition.traits & kHeaderless) style |= LVS_NOCOLUMNHEADER;
      if (definition.traits & kBordered) style |= WS_BORDER;
      return {WC_LISTVIEWW, style, 0};
    }
    case ControlKind::ProgressBar:
      return {PROGRESS_CLASSW, PBS_SMOOTH, 0};
    case ControlKind::DropDownList:
      return {WC_COMBOBOXW, CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 0};
    case ControlKind::TabStrip:
      return {WC_TABCONTROLW, WS_TABSTOP | WS_CLIPSIBLINGS, 0};
  }
  return {L"STATIC", 0, 0};
}

}  // namespace

void CreateControlsForDpi(HWND parent, std::span<const ControlDefinition> controls, UINT dpi,
                          UniqueGdiObject& font) {
  font = CreateUiFont(dpi);
  const auto hfont = reinterpret_cast<WPARAM>(font.get());
  for (const ControlDefinition& entry : controls) {
    const ControlClass kind = ClassOf(entry);
    const HWND control = ::CreateWindowExW(
        kind.exStyle, kind.name, Widen(entry.caption).c_str(), WS_CHILD | WS_VISIBLE | kind.style,
        ScaleForDpi(entry.x, dpi), ScaleForDpi(entry.y, dpi), ScaleForDpi(entry.width, dpi),
        ScaleForDpi(entry.height, dpi), parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(entry.id)), ::GetModuleHandleW(nullptr),
        nullptr);
    if (!control) continue;
    ::SendMessageW(control, WM_SETFONT, hfont, FALSE);
    if (entry.kind == ControlKind::GroupBox || entry.kind == ControlKind::TabStrip) {
      ::SetWindowPos(control, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    if (entry.kind == ControlKind::ClickableLabel) MakeLabelClickable(control);
  }
}

void PlaceControlsForDpi(HWND parent, std::span<const ControlDefinition> controls, UINT dpi,
                         UniqueGdiObject& font) {
  UniqueGdiObject newFont = CreateUiFont(dpi);
  for (const ControlDefinition& entry : controls) {
    const HWND control = ::GetDlgItem(parent, entry.id);
    ::SetWindowPos(control, nullptr, ScaleForDpi(entry.x, dpi), ScaleForDpi(entry.y, dpi),
                   ScaleForDpi(entry.width, dpi), ScaleForDpi(entry.height, dpi),
                   SWP_NOZORDER | SWP_NOACTIVATE);
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(newFont.get()), TRUE);
  }
  font = std::move(newFont);
}

void InitCommonControlClasses() {
  const INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_STANDARD_CLASSES | ICC_LISTVIEW_CLASSES |
                                                          ICC_PROGRESS_CLASS | ICC_TAB_CLASSES};
  ::InitCommonControlsEx(&classes);
}

void AddTabs(HWND tabs, std::span<const char* const> captions) {
  for (int i = 0; i < static_cast<int>(captions.size()); ++i) {
    std::wstring caption = Widen(captions[i]);
    TCITEMW item{};
    item.mask = TCIF_TEXT;
    item.pszText = caption.data();
    ::SendMessageW(tabs, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&item));
  }
}

void ShowControls(HWND parent, std::span<const ControlDefinition> controls, bool shown) {
  for (const ControlDefinition& entry : controls) {
    ::ShowWindow(::GetDlgItem(parent, entry.id), shown ? SW_SHOWNA : SW_HIDE);
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
