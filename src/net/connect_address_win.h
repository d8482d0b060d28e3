#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "platform/prompt.h"

namespace tidemoor {

// Looks the public address up at the two echo services, puts it with the game port (as typed)
// on the clipboard of the owner window and confirms it through the prompt. Returns the text
// copied. After a diagnosis that found carrier-grade NAT the message says the address cannot be
// reached from outside.
std::string CopyConnectAddress(std::string_view gamePort, HWND owner, Prompt& prompt,
                               const std::string& primaryUrl, const std::string& fallbackUrl,
                               bool carrierGradeNat = false);

inline constexpr char kCarrierGradeNatNote[] =
    "上次联机诊断发现运营商级 NAT - 外网好友无法通过此地址连接";

}  // namespace tidemoor
