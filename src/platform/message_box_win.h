#pragma once
// Every message box of the tool goes through ShowMessage, so tests can answer it.

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

namespace tidemoor {

struct MessageRequest {
  HWND owner;
  std::string text;   // UTF-8, as shown
  std::string title;  // UTF-8, as shown
  UINT flags;         // MB_ buttons, icon and modality
};

// Shows a message box (MessageBoxW) and returns the button pressed (IDOK, IDYES, ...).
int ShowMessage(HWND owner, std::string_view text, std::string_view title, UINT flags);

// Tests answer every message box through this instead of showing it; an empty function restores
// real message boxes.
using MessageAnswerer = std::function<int(const MessageRequest&)>;
void SetMessageAnswerer(MessageAnswerer answerer);

}  // namespace tidemoor
