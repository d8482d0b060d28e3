#include "net/clipboard_win.h"

#include <cstring>
#include <string>

#include "platform/codepage_win.h"

namespace tidemoor {
namespace {

// Another program may hold the clipboard for a moment (clipboard managers read every change).
bool OpenClipboardPatiently(HWND owner) {
  for (int attempt = 0; attempt < 10; ++attempt) {
    if (::OpenClipboard(owner)) return true;
    ::Sleep(20);
  }
  return false;
}

// The clipboard owns the memory once SetClipboardData succeeds; until then it is ours to free.
bool PutOnClipboard(UINT format, const void* bytes, size_t length) {
  HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, length);
  if (!memory) return false;
  if (void* target = ::GlobalLock(memory)) {
    std::memcpy(target, bytes, length);
    ::GlobalUnlock(memory);
    if (::SetClipboardData(format, memory)) return true;
  }
  ::GlobalFree(memory);
  return false;
}

}  // namespace

bool SetClipboardText(HWND owner, std::string_view utf8) {
  if (!OpenClipboardPatiently(owner)) return false;
  ::EmptyClipboard();
  const std::string ansi = Utf8ToCodePage(utf8, CP_ACP);
  const std::wstring wide = Widen(utf8);
  const bool done =
      PutOnClipboard(CF_TEXT, ansi.c_str(), ansi.size() + 1) &&
      PutOnClipboard(CF_UNICODETEXT, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
  ::CloseClipboard();
  return done;
}

}  // namespace tidemoor
