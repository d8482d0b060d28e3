// What the main window's controls do, as their rows bind it: each action hands the work to the
// part of the tool it belongs to.

#include <windows.h>

#include <shellapi.h>

#include <string>
#include <tuple>

#include "app/application_win.h"
#include "app/start_with_windows_win.h"
#include "common/port_number.h"
#include "common/product.h"
#include "server/ban_list.h"
#include "server/player_records.h"
#include "server/whitelist.h"
#include "install/workshop_download_win.h"
#include "net/connect_address_win.h"
#include "platform/codepage_win.h"
#include "platform/directories_win.h"
#include "platform/dispatcher_win.h"
#include "platform/job_pool_win.h"
#include "platform/run_command_win.h"
#include "platform/whole_file_win.h"
#include "worldsettings/world_settings_file_win.h"

namespace tidemoor {
namespace {

constexpr char kStartDuringRestoreMessage[] = " 正在还原存档 - 请在还原完成后再启动服务端 ";

}  // namespace

void Application::StartOrStopServer() {
  ServerController& server = server_->Controller();
  // A server started now would find half a restored save.
  if (backupHost_->Activity().Task() == BackupTask::Restore &&
      server.State() == ServerState::Stopped) {
    prompt_.Ask(kStartDuringRestoreMessage, " Info", PromptStyle::Information);
    return;
  }
  server.Toggle();
}

void Application::ApplyConsoleHidden() {
  server_->Controller().SetConsoleHidden(settings_.hideConsole);
}

void Application::ChangeUpdateCheckPeriod() {
  hosting_->UpdateCheckPeriodChanged();
}

void Application::OpenBackupManager() {
  windows_.backupManager.Open(BackupManagerSetup{mainWindow_.Handle(), Places(), &prompt_,
                                                 &*backupHost_, &settings_.retention});
}

// Settings edited there would not reach a world that carries its own.
void Application::OpenWorldSettings() {
  server_->LoadedWorld().BeforeWorldSettings([this] {
    ServerController& server = server_->Controller();
    windows_.worldSettings.Open(
        mainWindow_.Handle(), paths_, prompt_,
        ServerRestartOffer{[&server] { return server.State() == ServerState::Running; },
                           [&server] { server.Restart(); }});
  });
}

void Application::RevealWorldSettingsFile() {
  tidemoor::RevealWorldSettingsFile(paths_, prompt_);
}

void Application::RevealServerFolder() {
  RevealInExplorer(ServerExecutable(paths_));
}

// While the server runs, players join on the port it was started with.
void Application::CopyConnectAddress() {
  const RunningServer* run = server_->Controller().Running();
  const std::string gamePort =
      run && run->gamePort ? std::to_string(run->gamePort) : settings_.gamePort;
  tidemoor::CopyConnectAddress(gamePort, mainWindow_.Handle(), prompt_, kPrimaryIpEchoAddress,
                               kFallbackIpEchoAddress, windows_.doctor.CarrierGradeNatFound(),
                               *addressLookup_);
}

void Application::UpdateServerByHand() {
  PerformManualUpdate(paths_, updateActions_, prompt_);
}

void Application::OpenShopPage() {
  ::ShellExecuteW(mainWindow_.Handle(), L"open", Widen(kShopPageAddress).c_str(), L"", L"",
                  SW_SHOW);
}

// Opened with whatever the user reads text files with; before the first event there is no file,
// and an empty one opens where a missing one would give an error.
void Application::ShowEventLog() {
  eventLog_->FlushThen([this] {
    const std::string& path = eventLog_->Path();
    if (ReadWholeFile(path).state == FileState::Missing) WriteNewWholeFile(path, "");
    ::ShellExecuteW(mainWindow_.Handle(), L"open", Widen(path).c_str(), nullptr, nullptr, SW_SHOW);
  });
}

void Application::OpenPlayers() {
  PlayersWindowSetup setup{mainWindow_.Handle(), &prompt_, &*eventLog_, [this] {
                             const RunningServer* run = server_->Controller().Running();
                             return ApiAccess{run != nullptr, RestApiOnInWorldSettings(paths_),
                                              run ? run->rest : RestEndpoint{}};
                           }};
  setup.whitelist.file = WhitelistFile(paths_);
  setup.whitelist.prompt = &prompt_;
  setup.whitelist.log = &*eventLog_;
  setup.whitelist.on = [this] { return settings_.whitelist; };
  setup.whitelist.setOn = [this](bool on) {
    settings_.whitelist = on;
    SaveSettings();
  };
  setup.whitelist.unavailable = [this] {
    return WhitelistUnavailableLine(RestApiOnInWorldSettings(paths_),
                                    !settings_.adminPassword.empty());
  };
  setup.banList.banFile = BanListFile(paths_);
  setup.banList.playersFile = PlayerRecordsFile(paths_);
  setup.banList.eventLogs = {eventLog_->Path() + ".1", eventLog_->Path()};
  setup.records.playersFile = PlayerRecordsFile(paths_);
  setup.guilds.on = [this] { return settings_.gameDataApi; };
  setup.setGameDataOn = [this](bool on) {
    settings_.gameDataApi = on;
    SaveSettings();
  };
  windows_.players.Open(std::move(setup));
}

// The checks look at the ports the server runs on, or at those the next start will use.
void Application::OpenConnectionDoctor() {
  DoctorSetup setup;
  setup.owner = mainWindow_.Handle();
  setup.prompt = &prompt_;
  setup.log = &*eventLog_;
  std::tie(setup.primaryEchoUrl, setup.fallbackEchoUrl) = AddressEchoes();
  setup.serverProgram = ServerWorkerProgram(paths_);
  setup.ports = [this] {
    if (const RunningServer* run = server_->Controller().Running()) {
      return DoctorPorts{std::to_string(run->gamePort), run->gamePort, run->queryPort,
                         static_cast<unsigned short>(run->rest.port), run->processId};
    }
    return DoctorPorts{settings_.gamePort, ParsePortNumber(settings_.gamePort).value_or(0),
                       ParsePortNumber(settings_.queryPort).value_or(0),
                       static_cast<unsigned short>(RestApiPortFromText(settings_.restApiPort)), 0};
  };
  setup.search = RouterSearch();
  windows_.doctor.Open(std::move(setup));
}

// The guide changes the settings the way the main window's controls do: the value first, then the
// control that shows it, then the file.
void Application::OpenFirstStartGuide() {
  GuideSetup setup;
  setup.owner = mainWindow_.Handle();
  setup.prompt = &prompt_;
  setup.log = &*eventLog_;
  setup.paths = paths_;
  setup.settings = [this] {
    return GuideSettings{settings_.serverName,
                         settings_.joinPassword,
                         settings_.maxPlayers,
                         settings_.adminPassword,
                         settings_.gamePort,
                         ParsePortNumber(settings_.gamePort).value_or(0),
                         ParsePortNumber(settings_.queryPort).value_or(0)};
  };
  setup.takeEdits = [this](const GuideSettings& edits) {
    settings_.serverName = edits.serverName;
    settings_.joinPassword = edits.joinPassword;
    settings_.maxPlayers = edits.maxPlayers;
    mainWindow_.SetText(MainControl::ServerNameEdit, settings_.serverName);
    mainWindow_.SetText(MainControl::JoinPasswordEdit, settings_.joinPassword);
    mainWindow_.SetText(MainControl::MaxPlayersEdit, settings_.maxPlayers);
    SaveSettings();
  };
  setup.serverState = [this] { return server_->Controller().State(); };
  setup.install = [this](InstallProgressFunction progress, std::function<void(std::string)> done) {
    PerformUnattendedUpdate(
        paths_, updateActions_,
        [this, progress = std::move(progress)](const InstallStatus& status) {
          updateActions_.ShowInstallProgress(status);
          progress(status);
        },
        std::move(done));
  };
  setup.mapAtEveryStart = [this] {
    settings_.mapPortsAtStart = true;
    mainWindow_.SetTicked(MainControl::MapPortsAtStartBox, true);
    SaveSettings();
  };
  setup.startWithWindows = [this] {
    const Outcome registered = RegisterLogonEntry(ToolExecutable());
    ShowLogonEntry();
    if (registered) {
      settings_.autoStart = true;
      mainWindow_.SetTicked(MainControl::AutoStartBox, true);
    }
    SaveSettings();
    return registered;
  };
  setup.startServer = [this] { StartOrStopServer(); };
  setup.search = RouterSearch();
  std::tie(setup.primaryEchoUrl, setup.fallbackEchoUrl) = AddressEchoes();
  windows_.guide.Open(std::move(setup));
}

// SteamCMD fetches an item on the pool, for minutes perhaps; nothing follows once the host asked
// to close.
void Application::OpenMods() {
  ModsWindowSetup setup;
  setup.owner = mainWindow_.Handle();
  setup.prompt = &prompt_;
  setup.log = &*eventLog_;
  setup.paths = paths_;
  setup.serverRunning = [this] { return server_->Controller().State() == ServerState::Running; };
  setup.restartServer = [this] { server_->Controller().Restart(); };
  setup.backupBeforeChange = [this](std::function<void(bool made)> done) {
    MakePointBeforeChange(
        *backupHost_, Places(), settings_.retention, false,
        [this, done = std::move(done)](bool made) {
          if (!CloseAsked()) done(made);
        },
        PointKind::BeforeMods);
  };
  setup.downloadWorkshopItem = [this](std::string itemId,
                                      std::function<void(WorkshopDownload)> done) {
    RunOnPool([this, paths = paths_, itemId = std::move(itemId), done = std::move(done)] {
      const FetchedWorkshopItem fetched = DownloadWorkshopItem(paths, itemId);
      HandBack([this, done, fetched] {
        if (!CloseAsked()) done({fetched.ok, fetched.folder, fetched.reason});
      });
    });
  };
  windows_.mods.Open(std::move(setup));
}

void Application::OpenAlerts() {
  windows_.alerts.Open(AlertsWindowSetup{
      mainWindow_.Handle(), &prompt_, [this] { return settings_.alerts; },
      [this](const AlertSettings& alerts) { settings_.alerts = alerts; },
      // Written at once: addresses typed in are not lost with a tool that does not close normally.
      [this] { SaveSettings(); },
      [this] {
        return WebhookAlert{"test", "测试消息: Tidemoor 消息通知已设置好",
                            server_->Clock().LocalDateTimeText(), settings_.serverName};
      }});
}

void Application::OpenMetrics() {
  windows_.metrics.Open(
      MetricsWindowSetup{mainWindow_.Handle(), &prompt_, MetricsFile(paths_), eventLog_->Path()});
}

// What is typed reaches the settings at once; the file and the line to KOOK follow once the host
// has settled (the window closes, or the box is ticked or unticked).
void Application::OpenRemote() {
  RemoteControl& remote = hosting_->Remote();
  windows_.remote.Open(RemoteWindowSetup{
      mainWindow_.Handle(), &prompt_, [this] { return settings_.remote; },
      [this](const RemoteSettings& remote) { settings_.remote = remote; },
      [this, &remote] {
        SaveSettings();
        remote.Apply();
      },
      [&remote] { return remote.LineText(); }, [&remote] { return remote.RecentAuthors(); },
      [this] {
        ::ShellExecuteW(mainWindow_.Handle(), L"open", Widen(kKookGuideAddress).c_str(), L"", L"",
                        SW_SHOWNORMAL);
      }});
}

}  // namespace tidemoor
