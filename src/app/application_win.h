#pragma once
// The composition root: the one place that knows every part of the tool and connects them to
// each other. Start-up (application_start_win.cpp) brings the parts up around the main window;
// the main window's controls act through the actions their rows bind (application_actions_win.cpp);
// everything that follows the running server on its own is the hosting part's. Nothing else holds
// program-wide state.

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/first_start_guide_win.h"
#include "mods/mods_window_win.h"
#include "app/main_layout.h"
#include "app/main_window_win.h"
#include "app/run_options.h"
#include "app/server_side_win.h"
#include "app/tool_settings.h"
#include "backup/backup_host_win.h"
#include "backup/backup_manager_win.h"
#include "backup/backup_operations.h"
#include "common/server_paths.h"
#include "hosting/hosting_win.h"
#include "install/update_win.h"
#include "net/alerts_window_win.h"
#include "net/connection_doctor_win.h"
#include "remote/remote_window_win.h"
#include "platform/event_log_win.h"
#include "platform/prompt_win.h"
#include "platform/ticker_win.h"
#include "platform/worker_win.h"
#include "server/metrics_window_win.h"
#include "server/players_window_win.h"
#include "worldsettings/world_settings_window_win.h"

namespace tidemoor {

class Application : private MainWindowEvents, private MainActions {
 public:
  explicit Application(RunOptions options);
  Application(const Application&) = delete;
  Application& operator=(const Application&) = delete;

  // Start-up, then the message loop until the main window is gone; the process's exit code.
  int Run();

 private:
  // Where the tool is in its life: the window's close is one rule over these.
  enum class Phase {
    Opening,  // before everything the window does not need has started
    Open,
    AskingToClose,    // a backup operation runs and the user is being asked what to do with it
    ClosingWhenIdle,  // the user chose: the window closes once the operation has ended
    Closing,          // the window is going: the settings have been saved for the last time
  };

  // Start-up: what the main window needs to show itself, then the window.
  bool StartUp();
  // Wires the event log, the server, the backups and the hosting part.
  void WireParts();
  // Everything else, once the window is on screen; runs once, whoever asks first.
  void FinishStartUp();

  // MainWindowEvents
  void OnShown() override { FinishStartUp(); }
  void BeforeAction() override { FinishStartUp(); }
  void OnTimer(MainControl timer) override;
  bool OnCloseRequested() override;
  void OnClosing() override;
  void OnResumedFromSleep() override;

  // MainActions
  void StartOrStopServer() override;
  void ApplyConsoleHidden() override;
  void ChangeLogonEntry() override;
  void ChangeUpdateCheckPeriod() override;
  void OpenBackupManager() override;
  void OpenWorldSettings() override;
  void RevealWorldSettingsFile() override;
  void RevealServerFolder() override;
  void CopyConnectAddress() override;
  void UpdateServerByHand() override;
  void OpenShopPage() override;
  void ShowEventLog() override;
  void OpenPlayers() override;
  void OpenConnectionDoctor() override;
  void OpenAlerts() override;
  void OpenFirstStartGuide() override;
  void OpenMods() override;
  void OpenMetrics() override;
  void OpenRemote() override;

  // The sign-in entry as the registry has it, in the value, the box and the hint beside it.
  void ShowLogonEntry();
  void OnAutoBackupTick();
  void SaveSettings();
  void RememberKeptWorlds(const std::vector<std::string>& kept);
  void MakePointBeforeWorldChange(std::function<void(BackupPointResult)> done);
  void OnBackupActivityChanged();
  // Whether the user asked to close: what finishes meanwhile is not told any more.
  bool CloseAsked() const { return phase_ >= Phase::AskingToClose; }
  BackupPlaces Places() const;
  HostingChoices Choices() const;
  SearchTarget RouterSearch() const;
  // Where the public address is looked up: {first, second}.
  std::pair<std::string, std::string> AddressEchoes() const;

  const RunOptions options_;
  ServerPaths paths_;
  // The settings while the tool runs: the main window shows and edits them, the file mirrors them.
  ToolSettings settings_;
  Phase phase_ = Phase::Opening;
  WindowsPrompt prompt_;
  MainWindow mainWindow_;
  // PaLWorld_Data\Tidemoor.log, once the paths are known.
  std::optional<EventLogFile> eventLog_;
  WindowsUpdateActions updateActions_;
  std::optional<ServerSide> server_;
  std::optional<WindowsBackupHost> backupHost_;
  AutoBackupRecord autoBackupRecord_;
  std::optional<Hosting> hosting_;
  // The tool's windows beside the main one, each opened from a label or a button.
  struct ToolWindows {
    BackupManagerWindow backupManager;
    WorldSettingsWindow worldSettings;
    PlayersWindow players;
    ConnectionDoctor doctor;
    AlertsWindow alerts;
    FirstStartGuide guide;
    ModsWindow mods;
    MetricsWindow metrics;
    RemoteWindow remote;
  } windows_;
  // Looks the public address up for 复制游戏联机地址; put away as the window goes.
  std::optional<Worker> addressLookup_{std::in_place};
  // The sign-in entry is read again every 10 s: the user may change it in Task Manager meanwhile.
  Ticker logonEntryCheck_;
};

}  // namespace tidemoor
