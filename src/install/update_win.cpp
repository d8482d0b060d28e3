#include "install/update_win.h"

#include <windows.h>
#include <shellapi.h>

#include "common/product.h"
#include "install/steamcmd_win.h"
#include "platform/codepage_win.h"
#include "platform/pumping_wait_win.h"
#include "platform/run_command_win.h"
#include "platform/wait_cursor_win.h"
#include "platform/whole_file_win.h"

namespace tidemoor {

SteamCmdState WindowsUpdateActions::DeploySteamCmd() {
  // A first download blocks the window for a while; the cursor says so.
  const WaitCursor waiting;
  return tidemoor::DeploySteamCmd(paths_, kSteamCmdArchiveAddress);
}

Outcome WindowsUpdateActions::WriteScript(const std::string& path, const std::string& text) {
  return WriteWholeFile(path, Utf8ToGbk(text));
}

void WindowsUpdateActions::OpenScript(const std::string& path,
                                      const std::string& workingDirectory) {
  ::ShellExecuteW(nullptr, L"open", Widen(path).c_str(), nullptr, Widen(workingDirectory).c_str(),
                  SW_SHOWNORMAL);
}

// The window keeps answering, so the user can close the tool meanwhile; the wait then ends at
// once and the start that asked for the update sees the tool closing and launches nothing.
void WindowsUpdateActions::RunToEnd(const std::string& commandLine) {
  const UniqueHandle process = StartCommandLine(commandLine, 2);
  if (!process) return;
  PumpUntil([&] { return ::WaitForSingleObject(process.get(), 0) == WAIT_OBJECT_0; },
            std::chrono::hours(24 * 365));
}

}  // namespace tidemoor
