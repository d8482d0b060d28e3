#pragma once
// The server's controller and the world it works in: the main window as its view (the start
// button, the status line and the server's two timers), the settings value as its options, the
// processes, the clock and its pauses, the steps of a start that other parts take (the automatic
// update, the world settings written at each start, the questions about the loaded world), its
// REST API and the crash reports.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/main_window_win.h"
#include "app/start_world_settings_win.h"
#include "app/tool_settings.h"
#include "common/server_paths.h"
#include "install/update_flow.h"
#include "mods/mods_before_start_win.h"
#include "platform/delay_win.h"
#include "platform/event_log.h"
#include "platform/prompt.h"
#include "server/crash_reports_win.h"
#include "server/loaded_world_check.h"
#include "server/saved_worlds_win.h"
#include "server/server_api_win.h"
#include "server/server_controller.h"
#include "server/server_processes_win.h"

namespace tidemoor {

// Now and the pauses between the windows' messages.
class ToolClock : public ServerClock {
 public:
  int64_t MonotonicMilliseconds() override;
  int64_t AwakeMilliseconds() override;
  std::string LocalDateTimeText() override;
  void After(std::chrono::milliseconds wait, std::function<void()> then) override {
    pause_.After(wait, std::move(then));
  }

 private:
  Delay pause_;
};

struct ServerSideWiring {
  MainWindow& window;
  ToolSettings& settings;
  const ServerPaths& paths;
  Prompt& prompt;
  EventLog& log;
  UpdateActions& updates;  // the automatic update before a start
  // Writes the settings file from the value; every press of the start/stop button does so first.
  std::function<void()> saveSettings;
  std::function<void()> openBackupManager;
  // A manual point before WorldOption.sav is renamed; hands back what became of it.
  std::function<void(std::function<void(BackupPointResult)>)> makePointBeforeWorldChange;
  // The worlds whose WorldOption.sav the user keeps, written at once.
  std::function<void(const std::vector<std::string>&)> rememberKeptWorlds;
};

class ServerSide : private ServerView, private ServerSettings, private StartSteps {
 public:
  explicit ServerSide(ServerSideWiring wiring);
  ServerSide(const ServerSide&) = delete;
  ServerSide& operator=(const ServerSide&) = delete;

  ServerController& Controller() { return controller_; }
  LoadedWorldCheck& LoadedWorld() { return loadedWorld_; }
  ServerClock& Clock() { return clock_; }
  // The working set of the running server's worker; nullopt while it cannot be read.
  std::optional<uint64_t> WorkerMemoryInUse() const { return processes_.WorkerMemoryInUse(); }

 private:
  void ShowServerState(ServerState state) override;
  void ShowStatusLine(std::string_view text) override;
  void SetMonitorPeriod(unsigned milliseconds) override;
  void SetAutoBackupPeriod(unsigned milliseconds) override;

  LaunchOptions ReadLaunchOptions() override;
  AutomationOptions ReadAutomation() override;
  void Save() override { wiring_.saveSettings(); }

  void RunAutoUpdate(std::function<void()> done) override;
  uint32_t RandomInRange(uint32_t min, uint32_t max) override;
  void WriteWorldSettings(const StartWorldSettings& wanted) override;
  void ConfirmLoadedWorld(std::function<void(bool goOn)> done) override;
  void NoteLoadedWorldUnasked() override {
    loadedWorld_.NoteUnasked();
    modsCheck_.NoteUnasked();
  }
  std::string LoadedWorldId() override { return loadedWorld_.LoadedWorldId(); }

  ServerSideWiring wiring_;
  WindowsServerProcesses processes_;
  ToolClock clock_;
  StartWorldSettingsWriter worldSettingsWriter_;
  WindowsCrashReports crashReports_;
  WindowsSavedWorlds savedWorlds_;
  LoadedWorldCheck loadedWorld_;
  ModsBeforeStart modsCheck_;
  ServerController controller_;
  // After the controller: gone first, so no reply reaches a controller that is gone.
  WindowsServerApi api_;
};

}  // namespace tidemoor
