#include "platform/prompt_win.h"

#include "platform/codepage_win.h"

namespace tidemoor {

UINT PromptStyleFlags(PromptStyle style) {
  switch (style) {
    case PromptStyle::Plain:
      return MB_OK;
    case PromptStyle::Information:
      return MB_OK | MB_ICONINFORMATION;
    case PromptStyle::Error:
      return MB_OK | MB_ICONERROR;
    case PromptStyle::Warning:
      return MB_OK | MB_ICONWARNING;
    case PromptStyle::WarningQuestion:
      return MB_YESNO | MB_ICONWARNING;
    case PromptStyle::Question:
      return MB_YESNO | MB_ICONQUESTION;
    case PromptStyle::StartUpError:
      return MB_OK | MB_ICONERROR | MB_SETFOREGROUND;
  }
  return MB_OK;
}

PromptAnswer WindowsPrompt::Ask(std::string_view text, std::string_view title, PromptStyle style) {
  // The active window is the one the user just acted in (the backup manager for its buttons,
  // the main window for its own); a window that went away meanwhile cannot own a box.
  HWND owner = nullptr;
  if (style != PromptStyle::StartUpError) {
    owner = ::GetActiveWindow();
    if (!owner && fallbackOwner_) owner = fallbackOwner_();
    if (owner && !::IsWindow(owner)) owner = nullptr;
  }
  const int answer = ::MessageBoxW(owner, Widen(text).c_str(), Widen(title).c_str(),
                                   PromptStyleFlags(style) | MB_TASKMODAL);
  if (answer == IDYES) return PromptAnswer::Yes;
  if (answer == IDOK) return PromptAnswer::Ok;
  return PromptAnswer::No;
}

}  // namespace tidemoor
