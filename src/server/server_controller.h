#pragma once
// Start, stop and watch of the dedicated server: every decision of the start/stop button, the
// status monitor and its restarts, over an explicit state that the view shows.

#include <cstdint>
#include <string>

#include "platform/prompt.h"
#include "server/server_world.h"

namespace tidemoor {

inline constexpr char kStopQuestion[] = " 是否结束游戏服务端运行? ";
inline constexpr char kStopQuestionTitle[] = " Kill";
inline constexpr char kStartErrorText[] = " 启动服务端错误 - 请检查是否已经更新游戏服务端 ";
inline constexpr char kErrorTitle[] = " Error";

struct ServerWorld {
  ServerView& view;
  ServerSettings& settings;
  ServerProcesses& processes;
  ServerClock& clock;
  Prompt& prompt;
  StartSteps& steps;
  std::string executable;  // ServerDir + "PalServer.exe"
  std::string serverDir;   // the launcher's working directory
};

class ServerController {
 public:
  explicit ServerController(ServerWorld world) : world_(std::move(world)) {}

  ServerState State() const { return state_; }
  // Status-monitor ticks since the last start.
  uint32_t MonitorTicks() const { return monitorTicks_; }

  void Toggle();  // the start/stop button
  // Also run by the manual update and the restore. False when the tool began to close during the
  // stop's wait: the caller must not go on.
  bool Stop();
  void OnMonitorTick();  // the status monitor's timer
  void SetConsoleHidden(bool hidden);
  // At start-up: a server this tool started in an earlier run and left running is taken over, so
  // the tool never shows a stopped server over a save that a running one writes.
  void AdoptServerLeftRunning();

 private:
  void Start();
  void EnterState(ServerState state);
  void EnterRunning();
  void UpdateStatusLine();
  bool IntervalRestartDue();
  void StopMonitorAndShowStopped();

  ServerWorld world_;
  ServerState state_ = ServerState::Stopped;
  uint32_t monitorTicks_ = 0;
  int64_t startedAt_ = 0;
};

}  // namespace tidemoor
