#pragma once
// Starting processes and finding them again: the dedicated server's launcher, its worker and a
// launcher left running by an earlier run of the tool.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/system_error.h"
#include "platform/unique_handle_win.h"

namespace tidemoor {

// Starts the application with the command line in the working directory (when empty, the
// application's own directory). showMode 1, 3, 4, 5 and 6 ask for hidden, minimised, maximised,
// not activated and minimised without activation; any other mode leaves the window to the
// application. Waits for the process to end, or else up to 1,000 ms until it takes input.
// Returns its id, 0 when it was not created (failure then tells why). With info the handles are
// handed to the caller.
uint32_t LaunchProcess(std::string_view application, std::string_view commandLine, bool wait,
                       int showMode, std::string_view workingDirectory,
                       UniqueProcessInformation* info = nullptr, SystemError* failure = nullptr);

// The first process, in snapshot order, named executableName (ASCII letters in any case) whose
// parent is parentId; 0 when there is none, -1 when the processes cannot be listed.
int64_t FindChildProcess(uint32_t parentId, std::string_view executableName);

// A running process started from this executable (full path, any case); 0 when there is none.
// On success processHandle holds a handle that can be waited on.
uint32_t FindProcessByImage(std::string_view executablePath, UniqueHandle& processHandle);

// The process's command line as Windows keeps it; nullopt when it cannot be read (another user's
// process, say).
std::optional<std::string> ProcessCommandLine(uint32_t processId);

}  // namespace tidemoor
