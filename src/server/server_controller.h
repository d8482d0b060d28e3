#pragma once
// Start, stop and watch of the dedicated server: every decision of the start/stop button, the
// status monitor and its restarts, over an explicit state that the view shows. Stops go through
// the server's own save and shutdown when its REST API answers, and end the process tree only
// when it does not.

#include <cstdint>
#include <functional>
#include <string>

#include "platform/event_log.h"
#include "platform/prompt.h"
#include "server/crash_report.h"
#include "server/server_guards.h"
#include "server/server_world.h"

namespace tidemoor {

inline constexpr char kStopQuestion[] = " 是否结束游戏服务端运行? ";
inline constexpr char kStopQuestionTitle[] = " Kill";
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
enum class SaveOutcome { Saved, NotRunning, NoAnswer, ToolClosing };

class ServerController {
 public:
  explicit ServerController(ServerWorld world) : world_(std::move(world)) {}

  ServerState State() const { return state_; }
  // Status-monitor ticks since the last start.
  uint32_t MonitorTicks() const { return monitorTicks_; }
  // Where the API of the server that runs now listens, as fixed at its start.
  const RestEndpoint& Endpoint() const { return endpoint_; }
  // The running server's process (the launcher); meaningful while the state is Running.
  uint32_t ProcessId() const { return processId_; }

  // The start/stop button. While a start or a stop is under way a press does nothing.
  void Toggle();
  // The stop a user asked for; also run by the manual update and the restore. False when the
  // tool began to close during the stop's waits (or a start or a stop was already under way): the
  // caller must not go on.
  bool Stop();
  void OnMonitorTick();  // the status monitor's timer
  void OnResumedFromSleep();
  void SetConsoleHidden(bool hidden);
  // At start-up: a server this tool started in an earlier run and left running is taken over, so
  // the tool never shows a stopped server over a save that a running one writes.
  void AdoptServerLeftRunning();
  // Before a backup point: a running server that answers writes its save first, so the copy holds
  // a complete one. Waits at most 2 s for the API and 30 s for the save, the windows responsive.
  SaveOutcome SaveBeforeBackup();
  // Whether a backup copy is reading the save: an interval restart waits until it is done.
  void SetCopyRunning(std::function<bool()> copyRunning) { copyRunning_ = std::move(copyRunning); }

 private:
  enum class StartCause { User, Restart };
  enum class StopKind { Asked, IntervalRestart };

  void Press(StartCause cause);
  void Start(StartCause cause);
  void EnterState(ServerState state);
  void EnterRunning(uint32_t processId, bool adopted);
  void UpdateStatusLine(const std::string& version);
  bool IntervalRestartDue(const AutomationOptions& automation);
  void StopMonitorAndShowStopped();
  bool StopServer(StopKind kind);
  enum class SafeStop { Ended, NotEnded, ToolClosing };
  SafeStop TrySafeStop(StopKind kind);
  void KillTree(std::string_view why);
  void WatchForHang();
  void AnnounceRestart(const AutomationOptions& automation);
  void IntervalRestart();
  void OnServerEnded(bool hung);
  void TellCrashReason(const CrashReport& report);
  bool ApiAnswers();

  ServerWorld world_;
  ServerState state_ = ServerState::Stopped;
  uint32_t monitorTicks_ = 0;
  int64_t startedAt_ = 0;
  uint32_t processId_ = 0;
  RestEndpoint endpoint_;   // where this run's API listens, fixed at its start
  int64_t launchedAt_ = 0;  // in the crash reports' clock: older reports are of earlier runs
  // Reset at each run's start, so a reply that comes back after the run ended (the worker keeps
  // no promise of timing) is not taken for the next run's.
  HangWatch hangWatch_;
  CrashLoopGuard crashLoop_;
  unsigned noticesGiven_ = 0;
  std::function<bool()> copyRunning_;
};

}  // namespace tidemoor
