#pragma once
// The update's actions on Windows: SteamCMD on disk, the scripts in GBK, the shell and the wait.

#include <functional>
#include <string_view>

#include "common/server_paths.h"
#include "install/update_flow.h"

namespace tidemoor {

class WindowsUpdateActions : public UpdateActions {
 public:
  // paths are read when the actions run; stopServer and showStatusLine reach the server's
  // controller and the main window.
  WindowsUpdateActions(const ServerPaths& paths, std::function<bool()> stopServer,
                       std::function<void(std::string_view)> showStatusLine)
      : paths_(paths),
        stopServer_(std::move(stopServer)),
        showStatusLine_(std::move(showStatusLine)) {}

  bool StopServer() override { return stopServer_(); }
  void ShowStatusLine(std::string_view text) override { showStatusLine_(text); }
  SteamCmdState DeploySteamCmd() override;
  Outcome WriteScript(const std::string& path, const std::string& text) override;
  void OpenScript(const std::string& path, const std::string& workingDirectory) override;
  void RunToEnd(const std::string& commandLine) override;

 private:
  const ServerPaths& paths_;
  std::function<bool()> stopServer_;
  std::function<void(std::string_view)> showStatusLine_;
};

}  // namespace tidemoor
