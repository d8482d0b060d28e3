#include "platform/prompt_win.h"

#include <deque>
#include <string>
#include <utility>
#include <vector>

#include "platform/codepage_win.h"
#include "platform/dispatcher_win.h"

namespace tidemoor {
namespace {

struct WaitingBox {
  std::string text;
  std::string title;
  PromptStyle style;
  std::function<HWND()> fallbackOwner;
  std::function<void(PromptAnswer)> done;
};

// The boxes of the whole tool, whichever prompt asks (the window's thread alone asks): how many
// are open, and those waiting their turn in the order asked.
struct BoxTurns {
  int open = 0;
  bool turnAsked = false;  // the dispatcher will show the next one waiting
  std::deque<WaitingBox> waiting;
};
BoxTurns turns;

bool IsMessage(PromptStyle style) {
  return style != PromptStyle::WarningQuestion && style != PromptStyle::Question &&
         style != PromptStyle::QuestionOrCancel;
}

BOOL CALLBACK DisableWindow(HWND window, LPARAM spared) {
  auto* disabled = reinterpret_cast<std::vector<HWND>*>(spared);
  // The first entry is the owner: the box disables it itself and gives it the focus back.
  if (window != disabled->front() && ::IsWindowVisible(window) && ::IsWindowEnabled(window)) {
    ::EnableWindow(window, FALSE);
    disabled->push_back(window);
  }
  return TRUE;
}

// A box disables its owner only: the user could still open a second box from another window of
// the tool (the backup manager beside the main window). Every other visible window of the thread
// is disabled too, and enabled again as the box closes.
std::vector<HWND> DisableOtherWindows(HWND owner) {
  std::vector<HWND> disabled{owner};
  ::EnumThreadWindows(::GetCurrentThreadId(), &DisableWindow, reinterpret_cast<LPARAM>(&disabled));
  disabled.erase(disabled.begin());
  return disabled;
}

void ShowNextWaiting();

void AskForTurn() {
  if (turns.turnAsked || turns.open > 0 || turns.waiting.empty()) return;
  turns.turnAsked = true;
  HandBack([] {
    turns.turnAsked = false;
    ShowNextWaiting();
  });
}

PromptAnswer ShowBox(std::string_view text, std::string_view title, PromptStyle style,
                     const std::function<HWND()>& fallbackOwner) {
  // The active window is the one the user just acted in (the backup manager for its buttons,
  // the main window for its own); a window that went away meanwhile cannot own a box.
  HWND owner = nullptr;
  if (style != PromptStyle::StartUpError) {
    owner = ::GetActiveWindow();
    if (!owner && fallbackOwner) owner = fallbackOwner();
    if (owner && !::IsWindow(owner)) owner = nullptr;
  }
  ++turns.open;
  const std::vector<HWND> disabled = DisableOtherWindows(owner);
  const int answer = ::MessageBoxW(owner, Widen(text).c_str(), Widen(title).c_str(),
                                   PromptStyleFlags(style) | MB_TASKMODAL);
  for (const HWND window : disabled) {
    if (::IsWindow(window)) ::EnableWindow(window, TRUE);
  }
  --turns.open;
  AskForTurn();
  if (answer == IDYES) return PromptAnswer::Yes;
  if (answer == IDOK) return PromptAnswer::Ok;
  if (answer == IDCANCEL) return PromptAnswer::Cancel;
  return PromptAnswer::No;
}

// From the message loop, never inside the one who asked.
void ShowNextWaiting() {
  if (turns.open > 0 || turns.waiting.empty()) return;
  WaitingBox box = std::move(turns.waiting.front());
  turns.waiting.pop_front();
  const PromptAnswer answer = ShowBox(box.text, box.title, box.style, box.fallbackOwner);
  if (box.done) box.done(answer);
}

}  // namespace

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
    case PromptStyle::QuestionOrCancel:
      return MB_YESNOCANCEL | MB_ICONQUESTION;
    case PromptStyle::StartUpError:
      return MB_OK | MB_ICONERROR | MB_SETFOREGROUND;
  }
  return MB_OK;
}

// A message while another box is open, or while others wait, takes its place in the line.
// A question cannot wait (its caller acts on the answer); with every other window disabled the
// user cannot ask one while a box is open, but a timer or a result still may: it opens on top
// of the open box, as it always has.
PromptAnswer WindowsPrompt::Ask(std::string_view text, std::string_view title, PromptStyle style) {
  if (IsMessage(style) && (turns.open > 0 || !turns.waiting.empty())) {
    turns.waiting.push_back(
        {std::string(text), std::string(title), style, fallbackOwner_, nullptr});
    AskForTurn();
    return PromptAnswer::Ok;
  }
  return ShowBox(text, title, style, fallbackOwner_);
}

void WindowsPrompt::AskInTurn(std::string_view text, std::string_view title, PromptStyle style,
                              std::function<void(PromptAnswer)> done) {
  turns.waiting.push_back(
      {std::string(text), std::string(title), style, fallbackOwner_, std::move(done)});
  AskForTurn();
}

}  // namespace tidemoor
