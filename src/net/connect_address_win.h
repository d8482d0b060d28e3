#pragma once

#include <windows.h>

#include <string>
#include <string_view>

#include "platform/prompt.h"

namespace tidemoor {

// Looks the public address up at the two echo services, puts it with the game port (as typed)
// on the clipboard of the owner window and confirms it through the prompt. Returns the text
// copied.
std::string CopyConnectAddress(std::string_view gamePort, HWND owner, Prompt& prompt,
                               const std::string& primaryUrl, const std::string& fallbackUrl);

}  // namespace tidemoor
