#pragma once

#include <windows.h>

#include <string_view>

#include "platform/unique_handle_win.h"

namespace tidemoor {

// Starts a command line (the first token is looked up as usual) in the tool's current directory.
// showMode 1..6 maps to hide, normal, minimised, maximised, no-activate, minimised without
// activation; values outside are clamped. With wait it waits for the process to end, otherwise
// until it is ready for input (at most 1,000 ms). Returns whether the process was created.
bool RunCommandLine(std::string_view commandLine, bool wait = false, int showMode = 2);

// Starts the command line as RunCommandLine does and returns at once with the process's handle,
// for a caller that waits while letting its window's messages through; empty when nothing started.
UniqueHandle StartCommandLine(std::string_view commandLine, int showMode = 2);

// Opens Explorer on the folder of the file with the file selected (explorer.exe /select,"path"),
// started on the pool: the caller goes on at once. Explorer is started even when the file does
// not exist.
void RevealInExplorer(std::string_view path);

// After a start: with wait, until the process ends; otherwise until it is ready for input, at most
// 1,000 ms. Both block the calling thread.
void WaitForStartedProcess(HANDLE process, bool wait);

// The SW_ value of a show mode, the one mapping for every program the tool starts: 1 SW_HIDE,
// 2 SW_SHOWNORMAL, 3 SW_SHOWMINIMIZED, 4 SW_SHOWMAXIMIZED, 5 SW_SHOWNOACTIVATE and 6 the value 6
// (SW_MINIMIZE: the new window starts minimised and leaves the focus where it was). Modes outside
// 1..6 are clamped.
int ShowModeToShowCommand(int showMode);

}  // namespace tidemoor
