#include "app/server_side_win.h"

#include "app/tool_settings_binding.h"
#include "platform/date_time_win.h"
#include "platform/random_win.h"

namespace tidemoor {

int64_t ToolClock::MonotonicMilliseconds() {
  return static_cast<int64_t>(::GetTickCount64());
}

int64_t ToolClock::AwakeMilliseconds() {
  ULONGLONG hundredNanoseconds = 0;
  ::QueryUnbiasedInterruptTime(&hundredNanoseconds);
  return static_cast<int64_t>(hundredNanoseconds / 10'000);
}

std::string ToolClock::LocalDateTimeText() {
  return tidemoor::LocalDateTimeText();
}

ServerSide::ServerSide(ServerSideWiring wiring)
    : wiring_(std::move(wiring)),
      worldSettingsWriter_(wiring_.paths, wiring_.prompt, wiring_.settings),
      crashReports_(wiring_.paths.ServerDir),
      savedWorlds_(wiring_.paths),
      loadedWorld_(
          LoadedWorldWiring{savedWorlds_, wiring_.prompt, wiring_.log,
                            wiring_.makePointBeforeWorldChange, wiring_.rememberKeptWorlds},
          wiring_.settings.keptWorlds),
      modsCheck_(wiring_.paths, wiring_.prompt, wiring_.log),
      controller_(ServerWorld{*this, *this, processes_, clock_, wiring_.prompt, *this,
                              ServerExecutable(wiring_.paths), wiring_.paths.ServerDir, api_,
                              wiring_.log, crashReports_, wiring_.openBackupManager}) {}

void ServerSide::ShowServerState(ServerState state) {
  wiring_.window.SetText(MainControl::StartButton, StartButtonCaption(state));
}

void ServerSide::ShowStatusLine(std::string_view text) {
  wiring_.window.SetText(MainControl::StatusLine, text);
}

void ServerSide::SetMonitorPeriod(unsigned milliseconds) {
  wiring_.window.SetTimerInterval(MainControl::MonitorTimer, milliseconds);
}

void ServerSide::SetAutoBackupPeriod(unsigned milliseconds) {
  wiring_.window.SetTimerInterval(MainControl::AutoBackupTimer, milliseconds);
}

LaunchOptions ServerSide::ReadLaunchOptions() {
  return LaunchOptionsOf(wiring_.settings);
}

AutomationOptions ServerSide::ReadAutomation() {
  return AutomationOf(wiring_.settings);
}

void ServerSide::RunAutoUpdate(std::function<void()> done) {
  wiring_.log.Record("启动前自动更新服务端");
  PerformAutoUpdate(
      wiring_.settings.autoUpdate, wiring_.paths, wiring_.updates,
      [this](const InstallStatus& status) { wiring_.updates.ShowInstallProgress(status); },
      std::move(done));
}

uint32_t ServerSide::RandomInRange(uint32_t min, uint32_t max) {
  return tidemoor::RandomInRange(min, max);
}

void ServerSide::WriteWorldSettings(const StartWorldSettings& wanted) {
  worldSettingsWriter_.Write(wanted, wiring_.log);
}

void ServerSide::ConfirmLoadedWorld(std::function<void(bool goOn)> done) {
  loadedWorld_.BeforeStart([this, done = std::move(done)](bool goOn) {
    if (!goOn) return done(false);
    modsCheck_.BeforeStart(done);
  });
}

}  // namespace tidemoor
