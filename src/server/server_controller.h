#pragma once
// Start, stop and watch of the dedicated server: every decision of the start/stop button, the
// status monitor and its restarts, over an explicit state that the view shows. Stops go through
// the server's own save and shutdown when its REST API answers, and end the process tree only
// when it does not.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>

#include "platform/event_log.h"
#include "platform/prompt.h"
#include "server/crash_report.h"
#include "server/running_server.h"
#include "server/server_guards.h"
#include "server/server_world.h"

namespace tidemoor {

inline constexpr char kStopQuestion[] = " 是否结束游戏服务端运行? ";
inline constexpr char kStopQuestionTitle[] = " Kill";
// Followed by a line with why the launch failed.
inline constexpr char kStartErrorText[] = " 启动服务端错误 - 请检查是否已经更新游戏服务端 ";
inline constexpr char kErrorTitle[] = " Error";
inline constexpr char kSafeStopStatus[] = "正在安全关闭服务端...";
inline constexpr char kCrashLoopStatus[] = "服务端连续崩溃 - 已停止自动重启";
inline constexpr char kCrashLoopText[] =
    " 服务端在 10 分钟内连续崩溃 3 次，已停止自动重启 - 请检查服务端和存档后再手动启动 ";
inline constexpr char kStopMessage[] = "服务器即将关闭";
inline constexpr char kRestartMessage[] = "服务器即将重启";

// How long each step of a safe stop may take.
inline constexpr auto kInfoLimit = std::chrono::seconds(2);
inline constexpr auto kSaveLimit = std::chrono::seconds(30);
inline constexpr auto kShutdownReplyLimit = std::chrono::seconds(30);
inline constexpr auto kEndAfterShutdownGrace = std::chrono::seconds(60);

struct ServerWorld {
  ServerView& view;
  ServerSettings& settings;
  ServerProcesses& processes;
  ServerClock& clock;
  Prompt& prompt;
  StartSteps& steps;
  std::string executable;  // ServerDir + "PalServer.exe"
  std::string serverDir;   // the launcher's working directory
  ServerApi& api;
  EventLog& log;
  CrashReports& crashReports;
  // Opens the backup manager window (or brings it forward), for a restore after a damaged save.
  std::function<void()> openBackupManager;
};

// What became of a request to save before a backup point.
enum class SaveOutcome { Saved, NotRunning, NoAnswer };

// Where a start or a stop is while it waits for something outside the window's thread.
enum class ServerStep {
  Idle,
  AskingAboutWorld,  // the question about the world the server would load
  Updating,          // the automatic update before a start
  Launching,         // the launcher is started and given its moment to settle
  Pausing,           // the asked stop's second, or the pause before a restart
  AskingInfo,        // whether the API answers at all
  Saving,
  ShuttingDown,
  WaitingForEnd,  // the server was told to shut down
  Killing,        // the process tree is being ended
};

class ServerController {
 public:
  explicit ServerController(ServerWorld world) : world_(std::move(world)) {}

  ServerState State() const { return state_; }
  // Status-monitor ticks since the last start.
  uint32_t MonitorTicks() const { return monitorTicks_; }
  // The server that runs now as it was started; nullptr unless the state is Running.
  const RunningServer* Running() const { return state_ == ServerState::Running ? &run_ : nullptr; }

  ServerStep Step() const { return step_; }

  // The start/stop button. While a start or a stop is under way a press does nothing.
  void Toggle();
  // The start 启动工具时自动开服 makes as the tool starts, perhaps at sign-in with nobody at the
  // PC: the start button's, but it asks nothing (what it would have asked goes to the event log)
  // and what it has to say waits in turn. Only a stopped server is started.
  void StartUnattended();
  // The stop a user asked for; also run by the manual update and the restore. done(true) once the
  // server has ended; done(false) at once when a start or a stop is already under way, and the
  // caller must not go on.
  void Stop(std::function<void(bool stopped)> done);
  // The settings window's restart of a running server: the stop, a 2 s pause, then a start.
  void Restart();
  // A restart nobody is there to answer questions for (the memory guard's): logged with why, the
  // safe stop with the restart's message to the players, the pause, then a start that asks
  // nothing. False when the server is not running or a backup copy is reading the save (the
  // restart waits for it, as the interval restart does).
  bool RestartUnattended(std::string_view why);
  // The update watcher's restart of a running server: the safe stop an interval restart makes,
  // update while the server is down (the button meanwhile starts nothing), then the start an
  // unattended restart makes, without a second update. Returns false, and nothing happens, when
  // the server is not running or a start or a stop is under way.
  bool UpdateAndRestart(std::function<void(std::function<void()> updated)> update);
  // As the tool closes: every step still pending (a pause, a reply, an update's end) never runs,
  // nor does the done of whoever waits for it. What already runs outside (the server, SteamCMD)
  // goes on by itself.
  void Cancel();
  void OnMonitorTick();  // the status monitor's timer
  void OnResumedFromSleep();
  void SetConsoleHidden(bool hidden);
  // At start-up: a server this tool started in an earlier run and left running is taken over, so
  // the tool never shows a stopped server over a save that a running one writes.
  void AdoptServerLeftRunning();
  // Before a backup point: a running server that answers writes its save first, so the copy holds
  // a complete one. Waits at most 2 s for the API and 30 s for the save, then hands done what
  // became of it.
  void SaveBeforeBackup(std::function<void(SaveOutcome)> done);
  // Whether a backup copy is reading the save: an interval restart waits until it is done.
  void SetCopyRunning(std::function<bool()> copyRunning) { copyRunning_ = std::move(copyRunning); }
  // Told every state and event from now on.
  void SetListener(ServerListener* listener) { listener_ = listener; }

 private:
  // Who a start is for: the user at the button, or nobody (a restart, the update watcher's, the
  // start at sign-in).
  enum class StartCause { User, Restart, Updated, Unattended };
  void Tell(ServerEvent event, std::string_view text);
  enum class StopKind { Asked, IntervalRestart };

  void Press(StartCause cause);
  void Start(StartCause cause);
  void UpdateThenLaunch(const LaunchOptions& launch, const std::string& commandLine,
                        StartCause cause);
  void Launch(const LaunchOptions& launch, const std::string& commandLine,
              const AutomationOptions& automation, StartCause cause);
  void EnterState(ServerState state);
  void EnterRunning(RunningServer run);
  void Adopt(uint32_t processId);
  // An error box: the user's own start shows it at once; one nobody is there for, in turn.
  void TellError(StartCause cause, const std::string& text);
  void UpdateStatusLine(const std::string& version);
  bool IntervalRestartDue(const AutomationOptions& automation);
  void StopMonitorAndShowStopped();
  void StopServer(StopKind kind, std::function<void()> stopped);
  void SafeStop(StopKind kind, std::function<void()> then);
  void ShutDown(StopKind kind, int64_t saveMs, std::function<void()> then);
  void KillTree(std::string_view why, std::function<void()> then);
  void PauseThenStart(StartCause cause);
  void WatchForHang();
  void AnnounceRestart(const AutomationOptions& automation);
  void IntervalRestart();
  void OnServerEnded(bool hung);
  void TellCrashReason(const CrashReport& report);
  void AskWhetherApiAnswers(std::function<void(bool answers)> done);
  // then, as it runs only while the operations of this controller have not been cancelled since.
  template <typename Then>
  auto UnlessCancelled(Then then) {
    return [alive = std::weak_ptr<bool>(alive_), then = std::move(then)](auto&&... args) mutable {
      if (!alive.expired()) then(std::forward<decltype(args)>(args)...);
    };
  }

  ServerWorld world_;
  ServerState state_ = ServerState::Stopped;
  ServerStep step_ = ServerStep::Idle;
  // Replaced at each cancellation: steps made pending before it find theirs gone.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
  uint32_t monitorTicks_ = 0;
  RunningServer run_;       // the run that runs, or the last one
  int64_t launchedAt_ = 0;  // in the crash reports' clock: older reports are of earlier runs
  // Reset at each run's start, so a reply that comes back after the run ended (the worker keeps
  // no promise of timing) is not taken for the next run's.
  HangWatch hangWatch_;
  CrashLoopGuard crashLoop_;
  unsigned noticesGiven_ = 0;
  std::function<bool()> copyRunning_;
  ServerListener* listener_ = nullptr;
};

}  // namespace tidemoor
