#pragma once
// What the server's start, stop and watch need from the world around them. The Windows side and
// the application implement these thinly; tests fake them.

#include <chrono>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "platform/system_error.h"
#include "server/rest_api.h"
#include "server/server_command_line.h"

namespace tidemoor {

// The server as the tool sees it. Starting and stopping are the moments of a start before the
// launch has succeeded and of a stop before the server has ended.
enum class ServerState { Stopped, Starting, Running, Stopping };

// The start/stop button's captions. Operations compare against them: the caption is the server's
// running flag.
inline constexpr char kStartCaption[] = "启动服务端";
inline constexpr char kStopCaption[] = "停止运行";

// The caption for a state: kStartCaption while no server runs (or one is being started),
// kStopCaption while one runs (or is being stopped).
std::string_view StartButtonCaption(ServerState state);

inline constexpr char kStatusAfterStop[] = "游戏服务端版本 (等待服务端启动)";

// What the user chose for running the server, read at the moment it is needed.
struct AutomationOptions {
  bool autoUpdate = false;        // 选择_自动更新服务端
  bool hideConsole = false;       // 选择_隐藏原版控制台
  bool crashRestart = false;      // 选择_崩溃自动重启
  bool intervalRestart = false;   // 选择_定时间隔重启
  std::string intervalMinutes;    // 编辑框_定时重启_分钟, as typed
  bool autoBackup = false;        // 选择_定时保存玩家存档
  std::string autoBackupMinutes;  // 选择_定时保存玩家存档_分钟, as typed
  bool safeStop = false;          // stops and restarts go through the server's save and shutdown
  std::string restApiPort;        // the port written to RESTAPIPort, as typed
  bool restartNotice = false;     // players hear of an interval restart beforehand
  bool hangRestart = false;       // a server that stops answering counts as crashed
};

// Where the user's choices live while the tool runs, and their mirror on disk.
class ServerSettings {
 public:
  virtual ~ServerSettings() = default;
  virtual LaunchOptions ReadLaunchOptions() = 0;
  virtual AutomationOptions ReadAutomation() = 0;
  // Writes the settings file; every press of the start/stop button does this first.
  virtual void Save() = 0;
};

// What the main window shows of the server.
class ServerView {
 public:
  virtual ~ServerView() = default;
  virtual void ShowServerState(ServerState state) = 0;
  virtual void ShowStatusLine(std::string_view text) = 0;
  // The status monitor's and the automatic backup's timers; 0 stops one.
  virtual void SetMonitorPeriod(unsigned milliseconds) = 0;
  virtual void SetAutoBackupPeriod(unsigned milliseconds) = 0;
};

// The dedicated server's processes. The last launched (or adopted) launcher is held by its
// handle until the next start, so its id cannot pass to another process meanwhile.
class ServerProcesses {
 public:
  virtual ~ServerProcesses() = default;
  // A launcher already running from this executable (left by an earlier run of the tool), taken
  // over as if just launched; 0 when there is none.
  virtual uint32_t AdoptRunning(const std::string& executable) = 0;
  // Starts the launcher minimised and gives it at most a second to settle; done gets its id
  // later, between the windows' messages, 0 when nothing started.
  virtual void Launch(const std::string& executable, const std::string& commandLine,
                      const std::string& workingDirectory,
                      std::function<void(uint32_t processId)> done) = 0;
  // Why the last Launch started nothing, as the system said it.
  virtual SystemError LaunchFailure() const = 0;
  // The held launcher's command line as Windows gives it; nullopt when Windows does not tell.
  virtual std::optional<std::string> HeldServerCommandLine() = 0;
  // Whether the held launcher still runs; false before the first start.
  virtual bool HeldServerRunning() = 0;
  // Ends the held launcher and every process below it; done runs later, between the windows'
  // messages, once that is done. Nothing else is ever ended: an id of an ended process may name
  // anything by now.
  virtual void KillHeldServerTree(std::function<void()> done) = 0;
  // done runs later, between the windows' messages, once the held launcher has ended (true, also
  // when none was held) or the time is up (false).
  virtual void WaitForHeldServerToEnd(std::chrono::milliseconds limit,
                                      std::function<void(bool ended)> done) = 0;
  // Hides or shows the console window of the held launcher's worker, if it has one by now.
  virtual void SetConsoleHidden(bool hidden) = 0;
  // The executable's file version in four dotted parts; empty when unreadable.
  virtual std::string FileVersion(const std::string& executable) = 0;
};

class ServerClock {
 public:
  virtual ~ServerClock() = default;
  // A clock that only moves forward, unaffected by changes of the wall clock.
  virtual int64_t MonotonicMilliseconds() = 0;
  // Time the PC was awake: sleep and hibernation do not count. A server cannot answer while the
  // PC sleeps, so its silence is measured with this.
  virtual int64_t AwakeMilliseconds() = 0;
  // Now, as the status line shows it: 2026年12月7日 - 18时:05分:09秒.
  virtual std::string LocalDateTimeText() = 0;
  // Runs then once the time has passed, between the windows' messages; a pause still pending is
  // replaced.
  virtual void After(std::chrono::milliseconds wait, std::function<void()> then) = 0;
};

// The server's REST API, reached on a worker thread so the windows never wait for the network.
class ServerApi {
 public:
  virtual ~ServerApi() = default;
  // Sends the request; done gets the reply later, between the windows' messages, or status 0
  // once the limit has passed without one (a reply after that is dropped).
  virtual void Ask(const RestRequest& request, std::chrono::milliseconds limit,
                   std::function<void(const RestReply&)> done) = 0;
  // Sends the request; done gets the reply later, between the windows' messages, whenever it
  // comes.
  virtual void Send(const RestRequest& request, std::function<void(const RestReply&)> done) = 0;
};

// What a start writes into the world settings before the launch: the main window's name and
// passwords, and whether the REST API is wanted for the safe stop (and at which port).
struct StartWorldSettings {
  std::string serverName;
  std::string joinPassword;
  std::string adminPassword;
  bool safeStop = false;
  int restApiPort = kDefaultRestApiPort;
  // A start nobody is there for (a restart, the start at sign-in): what it would say waits for the
  // user in turn and never holds the start up.
  bool unattended = false;
};

// The steps of a start that belong to other parts of the tool.
class StartSteps {
 public:
  virtual ~StartSteps() = default;
  // done runs once the update has ended, whatever became of it.
  virtual void RunAutoUpdate(std::function<void()> done) = 0;
  virtual uint32_t RandomInRange(uint32_t min, uint32_t max) = 0;
  // Writes the main window's choices into the world settings, which the server reads as it
  // starts; tells the event log what became of the file. Runs at every start.
  virtual void WriteWorldSettings(const StartWorldSettings& wanted) = 0;
  // Asks about what the server would load: the world (a WorldOption.sav that overrides the tool's
  // settings, a named world that is not there) and the mods switched on (their problems, two
  // UE4SS); done(false) when the start must not go on.
  virtual void ConfirmLoadedWorld(std::function<void(bool goOn)> done) = 0;
  // For a start nobody is there for: writes to the event log what would have been asked, and the
  // start goes on.
  virtual void NoteLoadedWorldUnasked() = 0;
  // The world the server will load (DedicatedServerName); empty when none is named.
  virtual std::string LoadedWorldId() = 0;
};

}  // namespace tidemoor
