#pragma once
// The update's actions on Windows: SteamCMD on disk, the scripts in GBK, the shell, and the
// waits (a download, SteamCMD's run) on a worker thread of the update's own, with SteamCMD's
// progress looked at every second meanwhile.

#include <functional>
#include <optional>
#include <string_view>

#include "common/server_paths.h"
#include "install/update_flow.h"
#include "platform/ticker_win.h"
#include "platform/worker_win.h"

namespace tidemoor {

class WindowsUpdateActions : public UpdateActions {
 public:
  // Made on the window's thread. paths are read when the actions run; stopServer,
  // showStatusLine, showInstallProgress and record reach the server's controller, the main
  // window and the event log.
  WindowsUpdateActions(const ServerPaths& paths,
                       std::function<void(std::function<void(bool)>)> stopServer,
                       std::function<void(std::string_view)> showStatusLine,
                       std::function<void(const InstallStatus&)> showInstallProgress,
                       std::function<void(std::string_view)> record)
      : paths_(paths),
        stopServer_(std::move(stopServer)),
        showStatusLine_(std::move(showStatusLine)),
        showInstallProgress_(std::move(showInstallProgress)),
        record_(std::move(record)) {}

  void StopServer(std::function<void(bool)> done) override { stopServer_(std::move(done)); }
  void ShowStatusLine(std::string_view text) override { showStatusLine_(text); }
  void ShowInstallProgress(const InstallStatus& status) override { showInstallProgress_(status); }
  void DeploySteamCmd(std::function<void(SteamCmdState)> done) override;
  Outcome WriteScript(const std::string& path, const std::string& text) override;
  void OpenScript(const std::string& path, const std::string& workingDirectory,
                  std::function<void(const ScriptEnd&)> ended) override;
  void RunToEnd(const std::string& commandLine, InstallProgressFunction progress,
                std::function<void(const ScriptEnd&)> done) override;
  void Record(std::string_view text) override { record_(text); }
  // The tool is closing: what is still to be handed back is dropped and nothing new begins, so
  // the update's remaining steps never run.
  void Cancel() {
    worker_.reset();
    consoleWatch_.reset();
    progressCheck_.Stop();
  }

 private:
  const ServerPaths& paths_;
  std::function<void(std::function<void(bool)>)> stopServer_;
  std::function<void(std::string_view)> showStatusLine_;
  std::function<void(const InstallStatus&)> showInstallProgress_;
  std::function<void(std::string_view)> record_;
  std::optional<Worker> worker_{std::in_place};
  // Waits for the manual update's console, which may stay open at its pause for hours: apart, so
  // the update before a start never waits behind it.
  std::optional<Worker> consoleWatch_{std::in_place};
  // Looks at SteamCMD's output while the update before a start or the watcher's update runs.
  Ticker progressCheck_;
};

}  // namespace tidemoor
