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
// through the prompt and hands the text copied to copied. A worker put away first copies nothing;
// prompt must last as long as the worker.
void CopyConnectAddress(std::string_view gamePort, HWND owner, Prompt& prompt,
                        const std::string& primaryUrl, const std::string& fallbackUrl,
                        Worker& worker, std::function<void(const std::string&)> copied = {});

}  // namespace tidemoor
