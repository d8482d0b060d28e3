#include "server/server_processes_win.h"

#include <windows.h>

#include <psapi.h>

#include <memory>
#include <string>

#include "platform/process_win.h"
#include "platform/run_command_win.h"
#include "platform/top_level_windows_win.h"
#include "platform/version_info_win.h"

namespace tidemoor {
namespace {

constexpr int kMinimisedWithoutActivation = 6;
constexpr DWORD kLongestKill = 30'000;

// What a launch found, handed from the pool back to the window's thread.
struct Launched {
  UniqueProcessInformation info;
  SystemError failure;
};

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

// The launch waits until the launcher takes input (a second at most, the time a GUI launcher
// takes to make its worker's console, which SetConsoleHidden looks for next): on the pool.
void WindowsServerProcesses::Launch(const std::string& executable, const std::string& commandLine,
                                    const std::string& workingDirectory,
                                    std::function<void(uint32_t processId)> done) {
  launches_.Run<Launched>(
      [executable, commandLine, workingDirectory] {
        Launched launched;
        LaunchProcess(executable, commandLine, false, kMinimisedWithoutActivation, workingDirectory,
                      &launched.info, &launched.failure);
        return launched;
      },
      [this, done = std::move(done)](Launched launched) {
        const uint32_t processId = launched.info.processId;
        if (processId != 0) {
          launcher_ = std::move(launched.info.process);
          launcherId_ = processId;
        } else {
          launchFailure_ = launched.failure;
        }
        done(processId);
      });
}

std::optional<std::string> WindowsServerProcesses::HeldServerCommandLine() {
  if (!launcher_) return std::nullopt;
  return ProcessCommandLine(launcherId_);
}

bool WindowsServerProcesses::HeldServerRunning() {
  return launcher_ && ::WaitForSingleObject(launcher_.get(), 0) == WAIT_TIMEOUT;
}

// The worker waits on a handle of its own: the held one may be replaced by the next start.
void WindowsServerProcesses::WaitForHeldServerToEnd(std::chrono::milliseconds limit,
                                                    std::function<void(bool ended)> done) {
  auto process = std::make_shared<UniqueHandle>();
  if (launcher_) {
    ::DuplicateHandle(::GetCurrentProcess(), launcher_.get(), ::GetCurrentProcess(), process->put(),
                      SYNCHRONIZE, FALSE, 0);
  }
  waits_.Run<bool>(
      [process, limit] {
        return !*process || ::WaitForSingleObject(
                                process->get(), static_cast<DWORD>(limit.count())) != WAIT_TIMEOUT;
      },
      std::move(done));
}

// taskkill takes a second or two to start under load: it is started and waited for on the
// worker. The held launcher keeps its id from passing to another process meanwhile.
void WindowsServerProcesses::KillHeldServerTree(std::function<void()> done) {
  std::string commandLine;
  if (HeldServerRunning()) commandLine = "taskkill /f /t /pid " + std::to_string(launcherId_);
  waits_.Run(
      [commandLine] {
        if (commandLine.empty()) return;
        const UniqueHandle taskkill = StartCommandLine(commandLine, kMinimisedWithoutActivation);
        if (taskkill) ::WaitForSingleObject(taskkill.get(), kLongestKill);
      },
      std::move(done));
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

std::optional<uint64_t> WindowsServerProcesses::WorkerMemoryInUse() const {
  if (launcherId_ == 0) return std::nullopt;
  for (const char* workerName : kServerWorkerNames) {
    const int64_t worker = FindChildProcess(launcherId_, workerName);
    if (worker <= 0) continue;
    const UniqueHandle process(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | PROCESS_VM_READ,
                                             FALSE, static_cast<DWORD>(worker)));
    PROCESS_MEMORY_COUNTERS counters{};
    counters.cb = sizeof counters;
    if (!process || !::K32GetProcessMemoryInfo(process.get(), &counters, sizeof counters)) {
      return std::nullopt;
    }
    return counters.WorkingSetSize;
  }
  return std::nullopt;
}

std::string WindowsServerProcesses::FileVersion(const std::string& executable) {
  return ReadVersionInfo(executable, 4);
}

}  // namespace tidemoor
