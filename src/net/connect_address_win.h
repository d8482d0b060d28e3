#pragma once

#include <windows.h>

#include <string>

#include "app/main_controls.h"

namespace tidemoor {

void CopyConnectAddress();  // 标签9 pressed

// Looks the public address up at the two echo services, puts it with the game port on the
// clipboard and confirms it in a message box owned by owner. Returns the text copied.
std::string CopyConnectAddress(const MainControls& controls, HWND owner,
                               const std::string& primaryUrl, const std::string& fallbackUrl);

}  // namespace tidemoor
