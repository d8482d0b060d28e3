#pragma once
// The manual and the automatic server update as decisions over a few actions, so that what is
// stopped, written and run in each case is tested without Windows.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "common/server_paths.h"
#include "install/install_status.h"
#include "platform/prompt.h"
#include "platform/system_error.h"

namespace tidemoor {

// How a script run ended. The scripts end with SteamCMD's own exit code.
struct ScriptEnd {
  bool started = false;
  uint32_t exitCode = 0;
  SystemError failure;  // why it did not start
  // SteamCMD's last error line ("Error! App '2394010' state is 0x602 after update job."), when
  // its output was read.
  std::string lastError;
};

// What a script's console ends with when its window is closed before the end
// (STATUS_CONTROL_C_EXIT).
inline constexpr uint32_t kConsoleClosedExitCode = 0xC000013A;

// "SteamCMD 运行结束, 退出代码 8 (Error! …)", or why SteamCMD's exit code is not known.
std::string SteamCmdEndText(const ScriptEnd& end);

enum class SteamCmdState {
  Ready,           // Steamcmd.exe was there already or has just been written
  WriteFailed,     // the copy could not be written; the script then fails in its own console
  DownloadFailed,  // nothing to write: the download or its unpacking failed
};

class UpdateActions {
 public:
  virtual ~UpdateActions() = default;
  // done(true) once the server has ended; done(false) when it could not be stopped now. A stop
  // cancelled by the tool closing never calls done, and the update ends with it.
  virtual void StopServer(std::function<void(bool stopped)> done) = 0;
  virtual void ShowStatusLine(std::string_view text) = 0;
  // The main window's status line and progress bar while SteamCMD installs.
  virtual void ShowInstallProgress(const InstallStatus& status) = 0;
  // The download and unpacking, when needed, happen off the window's thread; done hears how it
  // went.
  virtual void DeploySteamCmd(std::function<void(SteamCmdState)> done) = 0;
  virtual Outcome WriteScript(const std::string& path, const std::string& text) = 0;
  // Opens the script through the shell in its own console and returns at once; ended hears how
  // the console ended, once the user has read it and it is gone.
  virtual void OpenScript(const std::string& path, const std::string& workingDirectory,
                          std::function<void(const ScriptEnd&)> ended) = 0;
  // Runs the command line without a window and calls done once it has ended, however long that
  // takes; the window goes on meanwhile, and progress hears what SteamCMD's output says at least
  // every 2 s, and once more as it ends (running false), before done. A tool that closes first
  // never hears of the end.
  virtual void RunToEnd(const std::string& commandLine, InstallProgressFunction progress,
                        std::function<void(const ScriptEnd&)> done) = 0;
  // A line for the event log.
  virtual void Record(std::string_view text) = 0;
};

inline constexpr char kManualUpdateQuestion[] = " 现在开始更新游戏服务端.会终止现在的运行? ";
inline constexpr char kSteamCmdDownloadFailed[] = " 下载 SteamCMD 失败 - 请检查网络连接 ";

// Returns once the question is answered; the stop, the download and the script follow as each
// step's result comes back. actions and prompt must outlive the steps.
void PerformManualUpdate(const ServerPaths& paths, UpdateActions& actions, Prompt& prompt);

// done runs once the update has ended, at once when the user did not ask for updates before each
// start (选择_自动更新服务端). Never asks anything (an unattended crash restart must not wait for a
// message box); an update that failed is told in the event log, and the start goes on.
void PerformAutoUpdate(bool wanted, const ServerPaths& paths, UpdateActions& actions,
                       InstallProgressFunction progress, std::function<void()> done);

// The update watcher's and the first-start guide's run of the same script, with the server
// already stopped; progress hears how far SteamCMD has come while it runs. done hears why
// the update failed (SteamCMD not there, the script not written or not started, SteamCMD's exit
// code when not 0, with its last error line); empty once SteamCMD has run to its end without an
// error code. SteamCMD's exit code goes to the event log at every run.
void PerformUnattendedUpdate(const ServerPaths& paths, UpdateActions& actions,
                             InstallProgressFunction progress,
                             std::function<void(std::string failure)> done);

}  // namespace tidemoor
