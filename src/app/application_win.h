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
#include "net/alerts_window_win.h"
#include "net/connection_doctor_win.h"
#include "net/mapping_at_start_win.h"
#include "net/webhook_sender_win.h"
#include "platform/delay_win.h"
#include "platform/event_log_win.h"
#include "platform/prompt_win.h"
#include "platform/worker_win.h"
#include "server/crash_reports_win.h"
#include "server/loaded_world_check.h"
#include "server/memory_watch.h"
#include "server/player_admin.h"
#include "server/player_watch.h"
#include "server/players_window_win.h"
#include "server/saved_worlds_win.h"
#include "server/server_api_win.h"
#include "server/server_controller.h"
#include "server/server_processes_win.h"
#include "worldsettings/world_settings_window_win.h"

namespace tidemoor {

class Application {
 public:
  // startedAtLogon: by the user's sign-in (--autostart): the window starts minimised.
  explicit Application(bool startedAtLogon);
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

  // The sign-in entry as the registry has it, in the value, the box and the hint beside it.
  void ShowLogonEntry();
  // Adds or removes the sign-in entry as the box now asks.
  void ChangeLogonEntry();
  // Starts the server as the start button would, when the user asked for that at every tool start
  // and no server runs.
  void StartServerIfAsked();

  bool OnCloseRequested();
  void SaveSettings();
  void RememberKeptWorlds(const std::vector<std::string>& kept);
  void MakePointBeforeWorldChange(std::function<void(BackupPointResult)> done);
  void OpenEventLog();
  void OpenBackupManager();
  void OpenConnectionDoctor();
  // 开服时自动映射端口: mapped as the server runs, removed as it stops or ends.
  void OnServerStateChanged(ServerState state);
  void OpenAlertsWindow();
  // Sends an alert of the kind to the host's webhook addresses, when they chose that kind. The
  // one way in for every event: the players' joins and leaves, the update watcher and the memory
  // guard call it with AlertEvent::Players, Update and Restart.
  void Alert(AlertEvent event, std::string_view text);
  // The server's events, as alerts.
  void WireAlerts();
  // The one place where the operations still under way end, as the window goes.
  void CancelPendingSteps();
  void OnBackupActivityChanged();
  BackupPlaces Places() const;
  ApiAccess PlayersAccess() const;

  const bool startedAtLogon_;
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
  // Who came and went, from the same API as the live status line.
  PlayerWatch playerWatch_;
  std::optional<MemoryWatch> memoryWatch_;
  ConnectionDoctor connectionDoctor_;
  // What the last connection diagnosis found, for the copied game address's message.
  bool carrierGradeNat_ = false;
  std::optional<WebhookSender> alertSender_;  // with the event log it tells of failures
  AlertsWindow alertsWindow_;
  // The first start or adoption since the tool started is told: after a reboot the host learns
  // the server is back; later ones follow a restart or a crash the host was told of already.
  bool startAlerted_ = false;
  // SteamCMD's answers about the public build, and the notices' waits before an update.
  std::optional<Worker> appInfoQuery_{std::in_place};
  Delay updateCountdown_;
  std::optional<UpdateWatch> updateWatch_;
  // Looks the public address up for 复制游戏联机地址; put away as the window goes.
  std::optional<Worker> addressLookup_{std::in_place};
  // Made with the event log; its pending results are dropped as the window goes.
  std::optional<MappingAtStart> mappingAtStart_;
};

}  // namespace tidemoor
