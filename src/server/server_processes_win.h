#pragma once
// The dedicated server's processes on Windows.

#include <cstdint>
#include <optional>

#include "platform/unique_handle_win.h"
#include "platform/worker_win.h"
#include "server/server_world.h"

namespace tidemoor {

// The worker that owns the server's console, under its earlier and its current name.
inline constexpr const char* kServerWorkerNames[] = {"PalServer-Win64-Test-Cmd.exe",
                                                     "PalServer-Win64-Shipping-Cmd.exe"};

class WindowsServerProcesses : public ServerProcesses {
 public:
  uint32_t AdoptRunning(const std::string& executable) override;
  void Launch(const std::string& executable, const std::string& commandLine,
              const std::string& workingDirectory,
              std::function<void(uint32_t processId)> done) override;
  SystemError LaunchFailure() const override { return launchFailure_; }
  std::optional<std::string> HeldServerCommandLine() override;
  bool HeldServerRunning() override;
  void WaitForHeldServerToEnd(std::chrono::milliseconds limit,
                              std::function<void(bool ended)> done) override;
  void KillHeldServerTree(std::function<void()> done) override;
  void SetConsoleHidden(bool hidden) override;
  std::string FileVersion(const std::string& executable) override;
  // The working set of the held launcher's worker (the process that holds the world), nullopt
  // before it has started or when Windows does not tell.
  std::optional<uint64_t> WorkerMemoryInUse() const;

 private:
  // The last launched or adopted launcher. While this stays open Windows cannot give its id to
  // another process, so a kill by that id can only reach our server.
  UniqueHandle launcher_;
  uint32_t launcherId_ = 0;
  SystemError launchFailure_;
  // Waits for the server's end and for taskkill, one after another, off the window's thread.
  Worker waits_;
  // Starts the launcher and waits for it to settle, off the window's thread.
  Worker launches_;
};

}  // namespace tidemoor
