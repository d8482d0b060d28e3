#pragma once
// The update's actions on Windows: SteamCMD on disk, the scripts in GBK, the shell, and the
// waits (a download, SteamCMD's run) on a worker thread of the update's own.

#include <functional>
#include <optional>
#include <string_view>

#include "common/server_paths.h"
#include "install/update_flow.h"
#include "platform/worker_win.h"

namespace tidemoor {

class WindowsUpdateActions : public UpdateActions {
 public:
  // Made on the window's thread. paths are read when the actions run; stopServer and
  // showStatusLine reach the server's controller and the main window.
  WindowsUpdateActions(const ServerPaths& paths,
                       std::function<void(std::function<void(bool)>)> stopServer,
                       std::function<void(std::string_view)> showStatusLine)
      : paths_(paths),
        stopServer_(std::move(stopServer)),
        showStatusLine_(std::move(showStatusLine)) {}

  void StopServer(std::function<void(bool)> done) override { stopServer_(std::move(done)); }
  void ShowStatusLine(std::string_view text) override { showStatusLine_(text); }
  void DeploySteamCmd(std::function<void(SteamCmdState)> done) override;
  Outcome WriteScript(const std::string& path, const std::string& text) override;
  void OpenScript(const std::string& path, const std::string& workingDirectory) override;
  void RunToEnd(const std::string& commandLine, std::function<void()> done) override;
  // The tool is closing: what is still to be handed back is dropped and nothing new begins, so
  // the update's remaining steps never run.
  void Cancel() { worker_.reset(); }

 private:
  const ServerPaths& paths_;
  std::function<void(std::function<void(bool)>)> stopServer_;
  std::function<void(std::string_view)> showStatusLine_;
  std::optional<Worker> worker_{std::in_place};
};

}  // namespace tidemoor
