#pragma once
// The composition root: the one place that knows every part of the tool and connects them to
// each other. Start-up (application_start_win.cpp) brings the parts up around the main window,
// and the main window's events are routed to them (main_window_routing_win.*). Nothing else
// holds program-wide state.

#include <functional>
#include <optional>
#include <string>

#include "app/main_window_routing_win.h"
#include "app/main_window_win.h"
#include "app/server_bindings_win.h"
#include "app/start_world_settings_win.h"
#include "app/tool_settings.h"
#include "app/tool_settings_binding.h"
#include "backup/backup_host_win.h"
#include "backup/backup_manager_win.h"
#include "backup/backup_operations.h"
#include "common/server_paths.h"
#include "install/update_watch.h"
#include "install/update_win.h"
#include "net/connection_doctor_win.h"
#include "platform/delay_win.h"
#include "platform/event_log_win.h"
#include "platform/prompt_win.h"
#include "platform/worker_win.h"
#include "server/crash_reports_win.h"
#include "server/loaded_world_check.h"
#include "server/player_admin.h"
#include "server/players_window_win.h"
#include "server/saved_worlds_win.h"
#include "server/server_api_win.h"
#include "server/server_controller.h"
#include "server/server_processes_win.h"
#include "worldsettings/world_settings_window_win.h"

namespace tidemoor {

class Application {
 public:
  Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // Start-up, then the message loop until the main window is gone; the process's exit code.
  int Run();

 private:
  friend class MainWindowRouting;

  // Start-up: what the main window needs to show itself, then the window.
  bool StartUp();
  // Everything else, once the window is on screen; runs once, whoever asks first.
  void FinishStartUp();

  // Wires the event log, the server, the backups and the world check.
  void WireServerAndBackups();
  // The watch for newer server builds, and its timer at the period the settings ask.
  void WireUpdateWatch();
  void ArmUpdateCheck();

  bool OnCloseRequested();
  void SaveSettings();
  void RememberKeptWorlds(const std::vector<std::string>& kept);
  void MakePointBeforeWorldChange(std::function<void(BackupPointResult)> done);
  void OpenEventLog();
  void OpenBackupManager();
  void OpenConnectionDoctor();
  // The one place where the operations still under way end, as the window goes.
  void CancelPendingSteps();
  void OnBackupActivityChanged();
  BackupPlaces Places() const;
  ApiAccess PlayersAccess() const;

  std::string toolDirectory_;
  ServerPaths paths_;
  // The settings while the tool runs: the main window shows and edits them, the file mirrors them.
  ToolSettings settings_;
  // Set as the main window starts to go away: the settings have been saved for the last time.
  bool closing_ = false;
  bool startUpFinished_ = false;
  // The user asked to close while a backup operation ran, and then chose to let it finish first.
  bool closeAsked_ = false;
  bool closeWhenIdle_ = false;

  WindowsPrompt prompt_;
  MainWindowRouting routing_;
  MainWindow mainWindow_;
  MainWindowServerView serverView_;
  ToolServerSettings serverSettings_;
  WindowsServerProcesses serverProcesses_;
  ToolClock clock_;
  WindowsUpdateActions updateActions_;
  StartWorldSettingsWriter worldSettingsWriter_;
  ToolStartSteps startSteps_;
  // PaLWorld_Data\Tidemoor.log, once the paths are known.
  std::optional<EventLogFile> eventLog_;
  std::optional<WindowsCrashReports> crashReports_;  // under the server directory
  std::optional<ServerController> server_;
  // After the controller: gone first, so no reply reaches a controller that is gone.
  WindowsServerApi serverApi_;
  std::optional<WindowsBackupHost> backupHost_;
  AutoBackupRecord autoBackupRecord_;
  WindowsSavedWorlds savedWorlds_{paths_};
  std::optional<LoadedWorldCheck> loadedWorld_;
  BackupManagerWindow backupManager_;
  WorldSettingsWindow worldSettingsWindow_;
  // The players window and the live status have requests of their own, so a silent server they
  // ask does not hold up the controller's.
  WindowsServerApi playersApi_;
  PlayersWindow playersWindow_;
  LiveStatus liveStatus_;
  ConnectionDoctor connectionDoctor_;
  // What the last connection diagnosis found, for the copied game address's message.
  bool carrierGradeNat_ = false;
  // SteamCMD's answers about the public build, and the notices' waits before an update.
  std::optional<Worker> appInfoQuery_{std::in_place};
  Delay updateCountdown_;
  std::optional<UpdateWatch> updateWatch_;
  // Looks the public address up for 复制游戏联机地址; put away as the window goes.
  std::optional<Worker> addressLookup_{std::in_place};
};

}  // namespace tidemoor
