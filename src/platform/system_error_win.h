#pragma once
// Turns the thread's last Win32 error into a SystemError. It must be read right after the call
// that failed: nearly any later call may change it.

#include <windows.h>

#include "platform/system_error.h"

namespace tidemoor {

// The code with Windows' sentence for it; a code Windows has no sentence for reads "错误代码 <n>".
SystemError SystemErrorOf(DWORD code);

// The calling thread's last error.
SystemError LastSystemError();

}  // namespace tidemoor
