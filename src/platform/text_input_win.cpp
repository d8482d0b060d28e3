#include "platform/text_input_win.h"

#include <vector>

#include "platform/codepage_win.h"

namespace tidemoor {
namespace {

constexpr WORD kEditId = kAskedTextId;
constexpr WORD kCaptionId = 101;
// The classes of a dialog template's items, by atom.
constexpr WORD kButtonClass = 0x0080;
constexpr WORD kEditClass = 0x0081;
constexpr WORD kStaticClass = 0x0082;

// A dialog template built in memory: the layout DialogBoxIndirect reads, in WORDs.
class DialogTemplate {
 public:
  DialogTemplate(std::wstring_view title, short width, short height) {
    const DWORD style = DS_MODALFRAME | DS_CENTER | DS_SETFONT | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    Add32(style);
    Add32(0);
    countAt_ = words_.size();
    words_.push_back(0);
    for (const short value : {short{0}, short{0}, width, height}) words_.push_back(value);
    words_.push_back(0);  // no menu
    words_.push_back(0);  // the standard class
    AddText(title);
    words_.push_back(9);  // points
    AddText(L"微软雅黑");
  }

  void AddItem(WORD classAtom, WORD id, DWORD style, std::wstring_view text, short x, short y,
               short width, short height) {
    if (words_.size() % 2) words_.push_back(0);  // each item starts on a DWORD
    Add32(style | WS_CHILD | WS_VISIBLE);
    Add32(0);
    for (const short value : {x, y, width, height}) words_.push_back(value);
    words_.push_back(id);
    words_.push_back(0xFFFF);
    words_.push_back(classAtom);
    AddText(text);
    words_.push_back(0);  // no creation data
    ++words_[countAt_];
  }

  const DLGTEMPLATE* Get() const { return reinterpret_cast<const DLGTEMPLATE*>(words_.data()); }

 private:
  void Add32(DWORD value) {
    words_.push_back(LOWORD(value));
    words_.push_back(HIWORD(value));
  }
  void AddText(std::wstring_view text) {
    words_.insert(words_.end(), text.begin(), text.end());
    words_.push_back(0);
  }

  // A vector of WORDs starts suitably aligned for the DWORDs at its front.
  std::vector<WORD> words_;
  size_t countAt_ = 0;
};

struct Answer {
  std::string text;
};

INT_PTR CALLBACK AskProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    if (message == WM_INITDIALOG) {
      ::SetWindowLongPtrW(dialog, DWLP_USER, lParam);
      ::SetFocus(::GetDlgItem(dialog, kEditId));
      return FALSE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
      if (LOWORD(wParam) == IDOK) {
        auto* answer = reinterpret_cast<Answer*>(::GetWindowLongPtrW(dialog, DWLP_USER));
        answer->text = WindowText(::GetDlgItem(dialog, kEditId));
      }
      ::EndDialog(dialog, LOWORD(wParam));
      return TRUE;
    }
  } catch (...) {
    ::EndDialog(dialog, IDCANCEL);
    return TRUE;
  }
  return FALSE;
}

}  // namespace

std::optional<std::string> AskForText(HWND owner, std::string_view title,
                                      std::string_view caption) {
  DialogTemplate box(Widen(title), 220, 70);
  box.AddItem(kStaticClass, kCaptionId, SS_LEFT, Widen(caption), 8, 8, 204, 12);
  box.AddItem(kEditClass, kEditId, WS_BORDER | WS_TABSTOP | ES_AUTOHSCROLL, L"", 8, 22, 204, 14);
  box.AddItem(kButtonClass, IDOK, BS_DEFPUSHBUTTON | WS_TABSTOP, L"确定", 106, 46, 50, 16);
  box.AddItem(kButtonClass, IDCANCEL, BS_PUSHBUTTON | WS_TABSTOP, L"取消", 162, 46, 50, 16);
  Answer answer;
  const INT_PTR result = ::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr), box.Get(), owner,
                                                   &AskProc, reinterpret_cast<LPARAM>(&answer));
  if (result != IDOK) return std::nullopt;
  return answer.text;
}

}  // namespace tidemoor
