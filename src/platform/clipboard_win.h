#pragma once

#include <windows.h>

#include <functional>
#include <string>

namespace tidemoor {

// Replaces the clipboard's content with the text, as CF_TEXT in the system's ANSI code page and
// as CF_UNICODETEXT, so every program pastes it right. Another program may hold the clipboard for
// a moment (clipboard managers read every change): the copy is tried again between the window's
// messages, ten times at most. done(copied) runs on the window's thread once the text is on the
// clipboard (at once, mostly) or the tries are over; whatever done acts on must still be there
// then (the tries take 200 ms at most).
void CopyToClipboard(HWND owner, std::string utf8, std::function<void(bool copied)> done);

}  // namespace tidemoor
