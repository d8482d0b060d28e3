#pragma once
// Start, stop and watch of the dedicated server: every decision of the start/stop button, the
// status monitor and its restarts. The start button's caption is the running flag.

#include <cstdint>
#include <string>

#include "app/main_controls.h"
#include "app/program_state.h"
#include "server/server_command_line.h"
#include "server/server_world.h"

namespace tidemoor {

inline constexpr char kStopQuestion[] = " 是否结束游戏服务端运行? ";
inline constexpr char kStopQuestionTitle[] = " Kill";
inline constexpr char kStartErrorText[] = " 启动服务端错误 - 请检查是否已经更新游戏服务端 ";
inline constexpr char kErrorTitle[] = " Error";
inline constexpr char kStatusAfterStop[] = "游戏服务端版本 (等待服务端启动)";

struct ServerWorld {
  MainControls& controls;
  ServerProcesses& processes;
  ServerClock& clock;
  UserMessages& messages;
  StartSteps& steps;
};

class ServerController {
 public:
  ServerController(ServerWorld world, ProgramState& program) : world_(world), program_(program) {}

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
  void EnterRunning(uint32_t processId);
  void UpdateStatusLine();
  bool IntervalRestartDue();
  void StopMonitorAndShowStopped();

  ServerWorld world_;
  ProgramState& program_;
  int64_t startedAt_ = 0;
};

}  // namespace tidemoor
