#include "platform/message_box_win.h"

#include "platform/codepage_win.h"

namespace tidemoor {
namespace {

MessageAnswerer& Answerer() {
  static MessageAnswerer answerer;
  return answerer;
}

}  // namespace

int ShowMessage(HWND owner, std::string_view text, std::string_view title, UINT flags) {
  if (Answerer()) {
    return Answerer()(MessageRequest{owner, std::string(text), std::string(title), flags});
  }
  return ::MessageBoxW(owner, Widen(text).c_str(), Widen(title).c_str(), flags);
}

void SetMessageAnswerer(MessageAnswerer answerer) {
  Answerer() = std::move(answerer);
}

}  // namespace tidemoor
