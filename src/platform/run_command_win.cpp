#include "platform/run_command_win.h"

#include <windows.h>

#include <algorithm>
#include <string>

#include "platform/codepage_win.h"
#include "platform/job_pool_win.h"
#include "platform/unique_handle_win.h"

namespace tidemoor {

int ShowModeToShowCommand(int showMode) {
  switch (std::clamp(showMode, 1, 6)) {
    case 1:
      return SW_HIDE;
    case 2:
      return SW_SHOWNORMAL;
    case 3:
      return SW_SHOWMINIMIZED;
    case 4:
      return SW_SHOWMAXIMIZED;
    case 5:
      return SW_SHOWNOACTIVATE;
    default:
      return SW_MINIMIZE;
  }
}

bool RunCommandLine(std::string_view commandLine, bool wait, int showMode) {
  UniqueHandle process = StartCommandLine(commandLine, showMode);
  if (!process) return false;
  WaitForStartedProcess(process.get(), wait);
  return true;
}

UniqueHandle StartCommandLine(std::string_view commandLine, int showMode) {
  // CreateProcessW may write into the command line, so it gets a buffer of its own.
  std::wstring buffer = Widen(commandLine);
  buffer.push_back(L'\0');
  STARTUPINFOW startup{sizeof(startup)};
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = static_cast<WORD>(ShowModeToShowCommand(showMode));
  PROCESS_INFORMATION raw{};
  if (!::CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &raw)) {
    return {};
  }
  UniqueProcessInformation process;
  process.Adopt(raw);
  return std::move(process.process);
}

// Starting Explorer and letting it settle take a moment the window does not wait for.
void RevealInExplorer(std::string_view path) {
  RunOnPool([commandLine = "explorer.exe /select,\"" + std::string(path) + "\""] {
    RunCommandLine(commandLine);
  });
}

void WaitForStartedProcess(HANDLE process, bool wait) {
  if (wait) {
    ::WaitForSingleObject(process, INFINITE);
  } else {
    ::WaitForInputIdle(process, 1000);
  }
}

}  // namespace tidemoor
