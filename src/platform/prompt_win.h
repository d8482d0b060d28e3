#pragma once
// The tool's Prompt as Windows message boxes (MessageBoxW), task-modal, owned by the window the
// user acts in. One box at a time: while one is open every other window of the tool is disabled,
// and a message asked meanwhile (by a timer, a result coming back) opens after it.

#include <windows.h>

#include <functional>

#include "platform/prompt.h"

namespace tidemoor {

// MB_ buttons and icon of a style, without the modality.
UINT PromptStyleFlags(PromptStyle style);

class WindowsPrompt : public Prompt {
 public:
  // fallbackOwner gives the owner when none of the tool's windows is active, as when a timer
  // speaks while the user works in another program: the main window, once there is one.
  explicit WindowsPrompt(std::function<HWND()> fallbackOwner = {})
      : fallbackOwner_(std::move(fallbackOwner)) {}

  PromptAnswer Ask(std::string_view text, std::string_view title, PromptStyle style) override;
  void AskInTurn(std::string_view text, std::string_view title, PromptStyle style,
                 std::function<void(PromptAnswer)> done) override;

 private:
  std::function<HWND()> fallbackOwner_;
};

}  // namespace tidemoor
