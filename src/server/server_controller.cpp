#include "server/server_controller.h"

#include "backup/auto_backup.h"
#include "common/server_paths.h"
#include "platform/text.h"
#include "server/server_command_line.h"

namespace tidemoor {
namespace {

constexpr int64_t kMillisecondsPerMinute = 60'000;

}  // namespace

void ServerController::Toggle() {
  if (program_.Closing) return;
  world_.steps.SaveSettings();
  if (world_.controls.Text(MainControl::StartButton) != kStartCaption) {
    if (world_.messages.Confirm(kStopQuestion, kStopQuestionTitle)) Stop();
    return;
  }
  Start();
}

void ServerController::Start() {
  const std::string executable = ServerExecutable(program_.Paths);
  // A server this tool started before it was closed still runs on the same save; a second one
  // beside it would fight over that save. It also holds the files an update would replace.
  if (const uint32_t running = world_.processes.AdoptRunning(executable); running != 0) {
    EnterRunning(running);
    return;
  }

  const ServerCommandLine commandLine = BuildServerCommandLine(ReadLaunchOptions(world_.controls));
  if (!commandLine.refusal.empty()) {
    world_.messages.ShowError(commandLine.refusal, kErrorTitle);
    return;
  }
  if (world_.controls.IsTicked(MainControl::AutoUpdateBox)) world_.steps.RunAutoUpdate();

  const uint32_t launched =
      world_.processes.Launch(executable, commandLine.text, program_.Paths.ServerDir);
  if (launched == 0) {
    world_.messages.ShowError(kStartErrorText, kErrorTitle);
    return;
  }
  EnterRunning(launched);
}

void ServerController::EnterRunning(uint32_t processId) {
  MainControls& controls = world_.controls;
  controls.SetText(MainControl::StartButton, kStopCaption);
  program_.ServerPid = processId;
  program_.MonitorTicks = 0;
  startedAt_ = world_.clock.MonotonicMilliseconds();

  const uint32_t monitorSeconds = world_.steps.RandomInRange(2, 9);
  controls.SetTimerInterval(MainControl::MonitorTimer, monitorSeconds * 1000);
  const unsigned backupPeriod =
      controls.IsTicked(MainControl::AutoBackupBox)
          ? AutoBackupInterval(controls.Text(MainControl::AutoBackupMinutes))
          : 0;
  controls.SetTimerInterval(MainControl::AutoBackupTimer, backupPeriod);

  UpdateStatusLine();
  SetConsoleHidden(controls.IsTicked(MainControl::HideConsoleBox));
}

// Written once per start: it shows the moment of the start, not a running time.
void ServerController::UpdateStatusLine() {
  std::string version = world_.processes.FileVersion(ServerExecutable(program_.Paths));
  if (version.empty()) version = "Unknown";
  world_.controls.SetText(
      MainControl::StatusLine,
      "运行中  ···  内核版本 (Run:" + version + ")  ···  " + world_.clock.LocalDateTimeText());
}

void ServerController::AdoptServerLeftRunning() {
  const uint32_t running = world_.processes.AdoptRunning(ServerExecutable(program_.Paths));
  if (running != 0) EnterRunning(running);
}

bool ServerController::Stop() {
  // The monitor must not take the ending server for a crash and restart it during the wait.
  world_.controls.SetTimerInterval(MainControl::MonitorTimer, 0);
  world_.clock.PumpingWait(1);
  if (program_.Closing) return false;
  // Only the launcher still held is ours: an id of an ended process may name anything by now.
  if (world_.processes.HeldServerRunning()) world_.processes.KillTree(program_.ServerPid);
  world_.controls.SetText(MainControl::StartButton, kStartCaption);
  world_.controls.SetText(MainControl::StatusLine, kStatusAfterStop);
  return true;
}

void ServerController::StopMonitorAndShowStopped() {
  world_.controls.SetTimerInterval(MainControl::MonitorTimer, 0);
  world_.controls.SetText(MainControl::StartButton, kStartCaption);
}

// The check box promises a restart every so many minutes, so real time counts, not ticks of a
// monitor whose period is drawn anew at each start.
bool ServerController::IntervalRestartDue() {
  const int64_t minutes = TextToNumber(world_.controls.Text(MainControl::IntervalRestartMinutes));
  if (minutes <= 0) return false;
  const int64_t elapsed = world_.clock.MonotonicMilliseconds() - startedAt_;
  return elapsed >= minutes * kMillisecondsPerMinute;
}

void ServerController::OnMonitorTick() {
  ++program_.MonitorTicks;
  MainControls& controls = world_.controls;
  if (world_.processes.HeldServerRunning()) {
    if (!controls.IsTicked(MainControl::IntervalRestartBox) || !IntervalRestartDue()) return;
    StopMonitorAndShowStopped();
    world_.processes.KillTree(program_.ServerPid);
    world_.clock.PumpingWait(2);
    Toggle();  // nothing when the tool began to close meanwhile
    return;
  }

  // Ended by a crash or from outside. The status line keeps the last start's text.
  StopMonitorAndShowStopped();
  if (controls.IsTicked(MainControl::CrashRestartBox)) {
    world_.clock.PumpingWait(2);
    Toggle();
  }
}

void ServerController::SetConsoleHidden(bool hidden) {
  world_.processes.SetConsoleHidden(program_.ServerPid, hidden);
}

}  // namespace tidemoor
