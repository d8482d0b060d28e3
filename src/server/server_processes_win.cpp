#include "server/server_processes_win.h"

#include <windows.h>

#include "platform/process_win.h"
#include "platform/pumping_wait_win.h"
#include "platform/run_command_win.h"
#include "platform/top_level_windows_win.h"
#include "platform/version_info_win.h"

namespace tidemoor {
namespace {

constexpr int kMinimisedWithoutActivation = 6;

}  // namespace

uint32_t WindowsServerProcesses::AdoptRunning(const std::string& executable) {
  UniqueHandle process;
  const uint32_t processId = FindProcessByImage(executable, process);
  if (processId != 0) {
    launcher_ = std::move(process);
    launcherId_ = processId;
  }
  return processId;
}

uint32_t WindowsServerProcesses::Launch(const std::string& executable,
                                        const std::string& commandLine,
                                        const std::string& workingDirectory) {
  UniqueProcessInformation info;
  const uint32_t processId =
      LaunchProcess(executable, commandLine, false, kMinimisedWithoutActivation, workingDirectory,
                    &info, &launchFailure_);
  if (processId != 0) {
    launcher_ = std::move(info.process);
    launcherId_ = processId;
  }
  return processId;
}

bool WindowsServerProcesses::HeldServerRunning() {
  return launcher_ && ::WaitForSingleObject(launcher_.get(), 0) == WAIT_TIMEOUT;
}

bool WindowsServerProcesses::WaitForHeldServerToEnd(std::chrono::milliseconds limit) {
  return PumpUntil([this] { return !HeldServerRunning(); }, limit);
}

// taskkill takes a second or two to start under load; the window answers meanwhile.
void WindowsServerProcesses::KillHeldServerTree() {
  if (!HeldServerRunning()) return;
  const UniqueHandle taskkill = StartCommandLine(
      "taskkill /f /t /pid " + std::to_string(launcherId_), kMinimisedWithoutActivation);
  if (!taskkill) return;
  PumpUntil([&] { return ::WaitForSingleObject(taskkill.get(), 0) != WAIT_TIMEOUT; },
            std::chrono::seconds(30));
}

void WindowsServerProcesses::SetConsoleHidden(bool hidden) {
  if (launcherId_ == 0) return;
  for (const char* workerName : kServerWorkerNames) {
    const int64_t worker = FindChildProcess(launcherId_, workerName);
    if (worker <= 0) continue;
    if (HWND console = FindProcessWindow(static_cast<uint32_t>(worker))) {
      ::ShowWindowAsync(console, hidden ? SW_HIDE : SW_SHOWNORMAL);
      return;
    }
  }
}

std::string WindowsServerProcesses::FileVersion(const std::string& executable) {
  return ReadVersionInfo(executable, 4);
}

}  // namespace tidemoor
