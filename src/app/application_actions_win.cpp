// What the main window's controls do, as their rows bind it: each action hands the work to the
// part of the tool it belongs to.

#include <windows.h>

#include <shellapi.h>

#include <string>

#include "app/application_win.h"
#include "app/start_with_windows_win.h"
#include "common/port_number.h"
#include "common/product.h"
#include "net/connect_address_win.h"
#include "platform/codepage_win.h"
#include "platform/directories_win.h"
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
  backupManager_.Open(BackupManagerSetup{mainWindow_.Handle(), Places(), &prompt_, &*backupHost_,
                                         &settings_.retention});
}

// Settings edited there would not reach a world that carries its own.
void Application::OpenWorldSettings() {
  server_->LoadedWorld().BeforeWorldSettings([this] {
    ServerController& server = server_->Controller();
    worldSettingsWindow_.Open(
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
                               kFallbackIpEchoAddress, connectionDoctor_.CarrierGradeNatFound(),
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
  playersWindow_.Open(
      PlayersWindowSetup{mainWindow_.Handle(), &prompt_, &*eventLog_, [this] {
                           const RunningServer* run = server_->Controller().Running();
                           return ApiAccess{run != nullptr, RestApiOnInWorldSettings(paths_),
                                            run ? run->rest : RestEndpoint{}};
                         }});
}

// The checks look at the ports the server runs on, or at those the next start will use.
void Application::OpenConnectionDoctor() {
  DoctorSetup setup;
  setup.owner = mainWindow_.Handle();
  setup.prompt = &prompt_;
  setup.log = &*eventLog_;
  setup.primaryEchoUrl = kPrimaryIpEchoAddress;
  setup.fallbackEchoUrl = kFallbackIpEchoAddress;
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
  const TestSettings& tests = options_.tests;
  setup.search = RouterSearch();
  if (!tests.addressEcho.empty()) setup.primaryEchoUrl = setup.fallbackEchoUrl = tests.addressEcho;
  connectionDoctor_.Open(std::move(setup));
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
  setup.install = [this](std::function<void(std::string)> done) {
    PerformUnattendedUpdate(
        paths_, updateActions_,
        [this](const InstallStatus& status) { updateActions_.ShowInstallProgress(status); },
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
  setup.primaryEchoUrl = kPrimaryIpEchoAddress;
  setup.fallbackEchoUrl = kFallbackIpEchoAddress;
  if (!options_.tests.addressEcho.empty()) {
    setup.primaryEchoUrl = setup.fallbackEchoUrl = options_.tests.addressEcho;
  }
  guide_.Open(std::move(setup));
}

void Application::OpenAlerts() {
  alertsWindow_.Open(AlertsWindowSetup{
      mainWindow_.Handle(), &prompt_, [this] { return settings_.alerts; },
      [this](const AlertSettings& alerts) { settings_.alerts = alerts; },
      // Written at once: addresses typed in are not lost with a tool that does not close normally.
      [this] { SaveSettings(); },
      [this] {
        return WebhookAlert{"test", "测试消息: Tidemoor 消息通知已设置好",
                            server_->Clock().LocalDateTimeText(), settings_.serverName};
      }});
}

}  // namespace tidemoor
