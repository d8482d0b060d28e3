#pragma once

#include <windows.h>

#include <string_view>

namespace tidemoor {

// Replaces the clipboard's content with the text, as CF_TEXT in the system's ANSI code page and
// as CF_UNICODETEXT, so every program pastes it right. False when the clipboard stayed busy.
bool SetClipboardText(HWND owner, std::string_view utf8);

}  // namespace tidemoor
