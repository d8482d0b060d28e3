#pragma once
// The manual and the automatic server update as decisions over a few actions, so that what is
// stopped, written and run in each case is tested without Windows.

#include <string>
#include <string_view>

#include "common/server_paths.h"
#include "platform/prompt.h"
#include "platform/system_error.h"

namespace tidemoor {

enum class SteamCmdState {
  Ready,           // Steamcmd.exe was there already or has just been written
  WriteFailed,     // the copy could not be written; the script then fails in its own console
  DownloadFailed,  // nothing to write: the download or its unpacking failed
};

class UpdateActions {
 public:
  virtual ~UpdateActions() = default;
  // False when the tool began to close while the server stopped: the update must end there.
  virtual bool StopServer() = 0;
  virtual void ShowStatusLine(std::string_view text) = 0;
  virtual SteamCmdState DeploySteamCmd() = 0;
  virtual Outcome WriteScript(const std::string& path, const std::string& text) = 0;
  // Opens the script through the shell in its own console and returns at once.
  virtual void OpenScript(const std::string& path, const std::string& workingDirectory) = 0;
  // Runs the command line and waits for it to end, however long that takes, the windows answering
  // meanwhile; the wait ends early when the tool begins to close.
  virtual void RunToEnd(const std::string& commandLine) = 0;
};

inline constexpr char kManualUpdateQuestion[] = " 现在开始更新游戏服务端.会终止现在的运行? ";
inline constexpr char kSteamCmdDownloadFailed[] = " 下载 SteamCMD 失败 - 请检查网络连接 ";

void PerformManualUpdate(const ServerPaths& paths, UpdateActions& actions, Prompt& prompt);

// Does nothing unless the user asked for updates before each start (选择_自动更新服务端). Never
// asks or reports anything: an unattended crash restart must not wait for a message box.
void PerformAutoUpdate(bool wanted, const ServerPaths& paths, UpdateActions& actions);

}  // namespace tidemoor
