#include "hosting/keep_awake_win.h"

#include <windows.h>

#include <string>

#include "platform/system_error_win.h"

namespace tidemoor {

void KeepAwake::Follow(bool wanted) {
  if (wanted == wanted_) return;
  wanted_ = wanted;
  if (!wanted) {
    if (!held_) return;
    ::PowerClearRequest(request_.get(), PowerRequestSystemRequired);
    held_ = false;
    record_("已允许电脑睡眠");
    return;
  }
  if (!request_) {
    // Shown by "powercfg /requests" as the reason the PC stays awake.
    wchar_t reason[] = L"Palworld 服务端运行中";
    REASON_CONTEXT context{POWER_REQUEST_CONTEXT_VERSION, POWER_REQUEST_CONTEXT_SIMPLE_STRING, {}};
    context.Reason.SimpleReasonString = reason;
    request_.reset(::PowerCreateRequest(&context));
  }
  if (!request_ || !::PowerSetRequest(request_.get(), PowerRequestSystemRequired)) {
    record_(WithCause("无法阻止电脑睡眠", LastSystemError()));
    return;
  }
  held_ = true;
  record_("服务端运行中 - 已阻止电脑睡眠");
}

}  // namespace tidemoor
