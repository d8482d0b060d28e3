#pragma once
// A program started without a window, its output and errors written to a file the caller opened
// (inheritable), as SteamCMD runs behind the tool's back. The file, not a pipe: a program it
// leaves behind holding a pipe would keep a reader waiting after it has ended.

#include <windows.h>

#include <string_view>

#include "platform/system_error.h"
#include "platform/unique_handle_win.h"

namespace tidemoor {

// A file the started program writes its output to: created afresh, inheritable, shared for
// reading while it grows.
UniqueFileHandle CreateOutputFile(std::string_view path);

// Starts the command line (the program's quoted path first) in the folder (the caller's own when
// empty), without a window. The caller closes its copy of the output once it has started.
Outcome StartHidden(std::string_view commandLine, std::string_view folder, HANDLE output,
                    UniqueProcessInformation& started);

}  // namespace tidemoor
