#pragma once
// The composition root: the one place that knows every part of the tool. It computes the paths,
// checks the tool's directory, loads the settings, creates the windows and controllers, wires
// them to each other and runs the message loop. Nothing else holds program-wide state.

#include <functional>
#include <optional>
#include <string>

#include "app/main_window_win.h"
#include "app/server_bindings_win.h"
#include "backup/backup_host_win.h"
#include "backup/backup_manager_win.h"
#include "backup/backup_operations.h"
#include "common/server_paths.h"
#include "install/update_win.h"
#include "net/connection_doctor_win.h"
#include "platform/event_log_win.h"
#include "platform/prompt_win.h"
#include "platform/worker_win.h"
#include "server/crash_reports_win.h"
#include "server/server_api_win.h"
#include "server/loaded_world_check.h"
#include "server/saved_worlds_win.h"
#include "server/server_controller.h"
#include "server/player_admin.h"
#include "server/players_window_win.h"
#include "server/server_processes_win.h"
#include "worldsettings/world_settings_window_win.h"

namespace tidemoor {

class Application : public MainWindowEvents {
 public:
  Application();
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // Start-up, then the message loop until the main window is gone; the process's exit code.
  int Run();

  void OnClicked(MainControl control) override;
  void OnLabelPressed(MainControl label, bool rightButton) override;
  void OnTimer(MainControl timer) override;
  bool OnCloseRequested() override;
  void OnClosing() override;
  void OnResumedFromSleep() override { server_->OnResumedFromSleep(); }

 private:
  void SaveSettings();
  void OnAutoBackupTick();
  void WriteWorldSettings(const StartWorldSettings& wanted);
  void WarnOfAdminPassword(std::string_view adminPassword);
  void MakePointBeforeWorldChange(std::function<void(BackupPointResult)> done);
  void OpenEventLog();
  void OpenBackupManager();
  void OpenConnectionDoctor();
  void OnBackupActivityChanged();
  BackupPlaces Places() const;
  ApiAccess PlayersAccess() const;

  std::string toolDirectory_;
  ServerPaths paths_;
  std::string windowTitle_;
  // Set as the main window starts to go away. A handler that let messages through (a wait, a
  // message box) may find it set when it resumes: it must then end at once, since its window and
  // controls are gone and the settings have been saved for the last time.
  bool closing_ = false;
  // The user asked to close while a backup operation ran, and then chose to let it finish first.
  bool closeAsked_ = false;
  bool closeWhenIdle_ = false;
  // Each warning about the admin password is shown once per run, not at every start.
  bool toldEmptyAdminPassword_ = false;
  bool toldWeakAdminPassword_ = false;

  WindowsPrompt prompt_;
  MainWindow mainWindow_;
  MainWindowServerView serverView_;
  MainWindowServerSettings serverSettings_;
  WindowsServerProcesses serverProcesses_;
  ToolClock clock_;
  WindowsUpdateActions updateActions_;
  ToolStartSteps startSteps_;
  // PaLWorld_Data\Tidemoor.log, once the paths are known.
  std::optional<EventLogFile> eventLog_;
  std::optional<WindowsCrashReports> crashReports_;  // under the server directory
  std::optional<ServerController> server_;
  // After the controller: gone first, so no reply reaches a controller that is gone.
  WindowsServerApi serverApi_;
  std::optional<WindowsBackupHost> backupHost_;
  BackupRetention retention_;
  AutoBackupRecord autoBackupRecord_;
  WindowsSavedWorlds savedWorlds_{paths_};
  // Once the event log and the settings are there.
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
  // Looks the public address up for 复制游戏联机地址; put away as the window goes.
  std::optional<Worker> addressLookup_{std::in_place};
};

}  // namespace tidemoor
