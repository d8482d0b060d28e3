#include "server/server_controller.h"

#include "common/timer_minutes.h"
#include "platform/text.h"
#include "server/server_command_line.h"

namespace tidemoor {
namespace {

constexpr int64_t kMillisecondsPerMinute = 60'000;

}  // namespace

std::string_view StartButtonCaption(ServerState state) {
  return state == ServerState::Running || state == ServerState::Stopping ? "停止运行"
                                                                         : "启动服务端";
}

void ServerController::EnterState(ServerState state) {
  state_ = state;
  world_.view.ShowServerState(state);
}

void ServerController::Toggle() {
  world_.settings.Save();
  if (state_ == ServerState::Running || state_ == ServerState::Stopping) {
    if (world_.prompt.Confirm(kStopQuestion, kStopQuestionTitle, PromptStyle::WarningQuestion)) {
      Stop();
    }
    return;
  }
  Start();
}

void ServerController::AdoptServerLeftRunning() {
  if (world_.processes.AdoptRunning(world_.executable) != 0) EnterRunning();
}

void ServerController::Start() {
  EnterState(ServerState::Starting);
  // A server this tool started before it was closed still runs on the same save; a second one
  // beside it would fight over that save. It also holds the files an update would replace.
  if (world_.processes.AdoptRunning(world_.executable) != 0) {
    EnterRunning();
    return;
  }

  const ServerCommandLine commandLine = BuildServerCommandLine(world_.settings.ReadLaunchOptions());
  if (!commandLine.refusal.empty()) {
    EnterState(ServerState::Stopped);
    world_.prompt.Ask(commandLine.refusal, kErrorTitle, PromptStyle::Error);
    return;
  }
  if (world_.settings.ReadAutomation().autoUpdate) world_.steps.RunAutoUpdate();

  if (world_.processes.Launch(world_.executable, commandLine.text, world_.serverDir) == 0) {
    EnterState(ServerState::Stopped);
    world_.prompt.Ask(kStartErrorText, kErrorTitle, PromptStyle::Error);
    return;
  }
  EnterRunning();
}

void ServerController::EnterRunning() {
  EnterState(ServerState::Running);
  monitorTicks_ = 0;
  startedAt_ = world_.clock.MonotonicMilliseconds();

  const uint32_t monitorSeconds = world_.steps.RandomInRange(2, 9);
  world_.view.SetMonitorPeriod(monitorSeconds * 1000);
  const AutomationOptions automation = world_.settings.ReadAutomation();
  world_.view.SetAutoBackupPeriod(
      automation.autoBackup ? TimerPeriodForMinutes(automation.autoBackupMinutes) : 0);

  UpdateStatusLine();
  SetConsoleHidden(automation.hideConsole);
}

// Written once per start: it shows the moment of the start, not a running time.
void ServerController::UpdateStatusLine() {
  std::string version = world_.processes.FileVersion(world_.executable);
  if (version.empty()) version = "Unknown";
  world_.view.ShowStatusLine("运行中  ···  内核版本 (Run:" + version + ")  ···  " +
                             world_.clock.LocalDateTimeText());
}

bool ServerController::Stop() {
  EnterState(ServerState::Stopping);
  // The monitor must not take the ending server for a crash and restart it during the wait.
  world_.view.SetMonitorPeriod(0);
  if (!world_.clock.PumpingWait(1)) return false;
  world_.processes.KillHeldServerTree();
  EnterState(ServerState::Stopped);
  world_.view.ShowStatusLine(kStatusAfterStop);
  return true;
}

void ServerController::StopMonitorAndShowStopped() {
  world_.view.SetMonitorPeriod(0);
  EnterState(ServerState::Stopped);
}

// The check box promises a restart every so many minutes, so real time counts, not ticks of a
// monitor whose period is drawn anew at each start.
bool ServerController::IntervalRestartDue() {
  const int64_t minutes = TextToNumber(world_.settings.ReadAutomation().intervalMinutes);
  if (minutes <= 0) return false;
  const int64_t elapsed = world_.clock.MonotonicMilliseconds() - startedAt_;
  return elapsed >= minutes * kMillisecondsPerMinute;
}

void ServerController::OnMonitorTick() {
  ++monitorTicks_;
  if (world_.processes.HeldServerRunning()) {
    if (!world_.settings.ReadAutomation().intervalRestart || !IntervalRestartDue()) return;
    StopMonitorAndShowStopped();
    world_.processes.KillHeldServerTree();
    if (world_.clock.PumpingWait(2)) Toggle();
    return;
  }

  // Ended by a crash or from outside. The status line keeps the last start's text.
  StopMonitorAndShowStopped();
  if (world_.settings.ReadAutomation().crashRestart && world_.clock.PumpingWait(2)) Toggle();
}

void ServerController::SetConsoleHidden(bool hidden) {
  world_.processes.SetConsoleHidden(hidden);
}

}  // namespace tidemoor
