#include "platform/clipboard_win.h"

#include <cstring>
#include <memory>
#include <string>
#include <utility>

#include "platform/codepage_win.h"
#include "platform/delay_win.h"

namespace tidemoor {
namespace {

using namespace std::chrono_literals;

constexpr int kTries = 10;
constexpr auto kBetweenTries = 20ms;

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

bool PutTextOnOpenClipboard(std::string_view utf8) {
  ::EmptyClipboard();
  const std::string ansi = Utf8ToCodePage(utf8, CP_ACP);
  const std::wstring wide = Widen(utf8);
  return PutOnClipboard(CF_TEXT, ansi.c_str(), ansi.size() + 1) &&
         PutOnClipboard(CF_UNICODETEXT, wide.c_str(), (wide.size() + 1) * sizeof(wchar_t));
}

// One copy and its tries. It keeps itself alive through its pending retry, and lets go once done
// has run.
struct ClipboardCopy : std::enable_shared_from_this<ClipboardCopy> {
  HWND owner = nullptr;
  std::string text;
  std::function<void(bool)> done;
  int triesLeft = kTries;
  Delay retry;

  void Try() {
    if (::OpenClipboard(owner)) {
      const bool copied = PutTextOnOpenClipboard(text);
      ::CloseClipboard();
      Finish(copied);
    } else if (--triesLeft > 0) {
      retry.After(kBetweenTries, [self = shared_from_this()] { self->Try(); });
    } else {
      Finish(false);
    }
  }

  void Finish(bool copied) {
    if (done) std::exchange(done, nullptr)(copied);
  }
};

}  // namespace

void CopyToClipboard(HWND owner, std::string utf8, std::function<void(bool copied)> done) {
  auto copy = std::make_shared<ClipboardCopy>();
  copy->owner = owner;
  copy->text = std::move(utf8);
  copy->done = std::move(done);
  copy->Try();
}

}  // namespace tidemoor
