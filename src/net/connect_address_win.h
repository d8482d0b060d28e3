#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <string_view>

#include "platform/prompt.h"
#include "platform/worker_win.h"

namespace tidemoor {

// Looks the public address up at the two echo services on the worker, then, back on the window's
// thread, puts it with the game port (as typed) on the clipboard of the owner window, confirms it
// through the prompt and hands the text copied to copied. After a diagnosis that found
// carrier-grade NAT the message says the address cannot be reached from outside. A worker put
// away first copies nothing; prompt must last as long as the worker, and the clipboard's tries
// after it.
void CopyConnectAddress(std::string_view gamePort, HWND owner, Prompt& prompt,
                        const std::string& primaryUrl, const std::string& fallbackUrl,
                        bool carrierGradeNat, Worker& worker,
                        std::function<void(const std::string&)> copied = {});

inline constexpr char kCarrierGradeNatNote[] =
    "上次联机诊断发现运营商级 NAT - 外网好友无法通过此地址连接";

}  // namespace tidemoor
