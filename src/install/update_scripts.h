#pragma once
// The two batch scripts through which the tool runs SteamCMD. Texts are UTF-8 here; they become
// GBK bytes only when written to disk.

#include <string>
#include <string_view>

#include "common/server_paths.h"

namespace tidemoor {

// Run from DataDir in a console window of its own; "pause" near the end so the user reads the
// result. Both scripts end with SteamCMD's exit code as their own.
std::string ManualUpdateScript();
// Run from the tool directory before a start, waited for; no "pause" and no final line end.
std::string AutoUpdateScript();

std::string SteamCmdFile(const ServerPaths& paths);            // Steamcmd.exe
std::string ManualUpdateScriptFile(const ServerPaths& paths);  // Updata_Server.bat
std::string AutoUpdateScriptFile(const ServerPaths& paths);    // Updata_Server_Auto.bat

// A command line that runs exactly the given program path: quoted, so a blank makes the system
// try no shorter prefix as a program and an ampersand does not split the command.
std::string QuotedCommandLine(std::string_view programPath);

}  // namespace tidemoor
