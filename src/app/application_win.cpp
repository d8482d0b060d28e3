#include "app/application_win.h"

#include <shellapi.h>

#include <charconv>
#include <cstdlib>
#include <memory>
#include <utility>

#include "common/product.h"
#include "platform/codepage_win.h"
#include "platform/profile_win.h"
#include "platform/whole_file_win.h"
#include "worldsettings/world_settings_file_win.h"

namespace tidemoor {
namespace {

using C = MainControl;

constexpr char kCloseDuringBackupQuestion[] =
    " 备份操作尚未完成 - 是否等待其完成后再退出? \r\n"
    " 选择“否”将取消该操作并退出 (已有的存档和备份点保持不变) ";

unsigned short PortNumber(const std::string& text) {
  unsigned value = 0;
  const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc{} && ptr == text.data() + text.size() && value <= 65535
             ? static_cast<unsigned short>(value)
             : 0;
}

// The end-to-end tests stand a router and the address lookup up on 127.0.0.1 and point the checks
// and the automatic mapping there; nothing else sets these.
std::string TestOverride(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

SearchTarget RouterSearchTarget() {
  SearchTarget target;
  const std::string search = TestOverride("TIDEMOOR_TEST_SSDP_PORT");
  if (!search.empty()) {
    target.host = "127.0.0.1";
    target.port = PortNumber(search);
  }
  return target;
}

}  // namespace

Application::Application(bool startedAtLogon)
    : startedAtLogon_(startedAtLogon),
      prompt_([this] { return mainWindow_.Handle(); }),
      routing_(*this),
      mainWindow_(routing_, prompt_),
      serverView_(mainWindow_, [this](ServerState state) { OnServerStateChanged(state); }),
      serverSettings_(settings_, [this] { SaveSettings(); }),
      updateActions_(
          paths_,
          [this](std::function<void(bool)> done) {
            server_->Stop([this, done = std::move(done)](bool stopped) {
              if (stopped) eventLog_->Record("手动更新服务端");
              done(stopped);
            });
          },
          [this](std::string_view text) { mainWindow_.SetText(C::StatusLine, text); }),
      worldSettingsWriter_(paths_, prompt_, settings_),
      startSteps_(
          [this](std::function<void()> done) {
            eventLog_->Record("启动前自动更新服务端");
            PerformAutoUpdate(settings_.autoUpdate, paths_, updateActions_, std::move(done));
          },
          [this](const StartWorldSettings& wanted) {
            worldSettingsWriter_.Write(wanted, *eventLog_);
          },
          [this](std::function<void(bool)> done) { loadedWorld_->BeforeStart(std::move(done)); }),
      liveStatus_(
          playersApi_,
          [this](std::string_view line) { mainWindow_.SetText(C::LiveStatusLine, line); },
          [this] { return serverProcesses_.WorkerMemoryInUse(); }),
      playerWatch_(playersApi_, [this](std::string_view text) { eventLog_->Record(text); }) {}

void Application::WireServerAndBackups() {
  eventLog_.emplace(paths_.DataDir + "Tidemoor.log");
  crashReports_.emplace(paths_.ServerDir);
  mappingAtStart_.emplace(RouterSearchTarget(),
                          [this](std::string_view line) { eventLog_->Record(line); });
  server_.emplace(ServerWorld{serverView_, serverSettings_, serverProcesses_, clock_, prompt_,
                              startSteps_, ServerExecutable(paths_), paths_.ServerDir, serverApi_,
                              *eventLog_, *crashReports_, [this] { OpenBackupManager(); }});
  memoryWatch_.emplace(MemoryWatchWorld{playersApi_,
                                        [this](std::string_view text) { eventLog_->Record(text); },
                                        [this] { return serverProcesses_.WorkerMemoryInUse(); },
                                        [this](std::string_view why) {
                                          const bool restarting = server_->RestartUnattended(why);
                                          if (restarting) Alert(AlertEvent::Restart, why);
                                          return restarting;
                                        }});
  backupHost_.emplace(BackupHostWiring{
      [this](std::function<void(bool)> done) { server_->Stop(std::move(done)); },
      [this] { return server_->State() == ServerState::Running; },
      // The copy then holds a complete save; without an answer it copies what is on disk.
      [this](std::function<void()> then) {
        server_->SaveBeforeBackup([then = std::move(then)](SaveOutcome) { then(); });
      },
      // Once the user asked to close, what finishes meanwhile is not told: the tool is going.
      [this] { return closing_ || closeAsked_; }, &*eventLog_,
      [this] {
        const ServerState state = server_->State();
        return state == ServerState::Running || state == ServerState::Stopped;
      }});
  backupHost_->Activity().Watch([this] { OnBackupActivityChanged(); });
  WireAlerts();
  server_->SetCopyRunning([this] {
    const BackupTask task = backupHost_->Activity().Task();
    return task == BackupTask::Point || task == BackupTask::Restore;
  });
  loadedWorld_.emplace(
      LoadedWorldWiring{savedWorlds_, prompt_, *eventLog_,
                        [this](std::function<void(BackupPointResult)> done) {
                          MakePointBeforeWorldChange(std::move(done));
                        },
                        [this](const std::vector<std::string>& kept) { RememberKeptWorlds(kept); }},
      settings_.keptWorlds);
  WireUpdateWatch();
}

// The settings file mirrors the value: written at each press of the start/stop button and, for
// the last time, as the window goes. The kept worlds follow the other keys, as they always have.
void Application::SaveSettings() {
  if (closing_) return;
  const std::string typedName = settings_.serverName;
  GbkProfileFile file(ToolSettingsFile(paths_));
  SaveToolSettings(file, settings_);
  SaveToolSetting(file, settings_, kWorldOptionKeptKey);
  if (settings_.serverName != typedName)
    mainWindow_.SetText(C::ServerNameEdit, settings_.serverName);
  // Settings the user changed would silently be gone at the next start.
  if (const std::optional<SystemError>& failure = file.Failure()) {
    const std::string text =
        WithCause("设置未能保存 - 无法写入 " + ToolSettingsFile(paths_), *failure);
    eventLog_->Record(text);
    prompt_.Ask(" " + text + " ", " Error", PromptStyle::Error);
  }
}

// Written at once: the answer must survive a tool that does not get to close normally.
void Application::RememberKeptWorlds(const std::vector<std::string>& kept) {
  settings_.keptWorlds = kept;
  GbkProfileFile file(ToolSettingsFile(paths_));
  SaveToolSetting(file, settings_, kWorldOptionKeptKey);
}

// A backup operation that is cut off leaves a half point or half a restored save behind, so the
// user chooses: wait for it, or stop it cleanly (the copy stops after its current file and takes
// away what it made, a restore puts the live save back) and close. Either way the window closes
// once the operation has ended, and the tool is on its way out from the question on.
bool Application::OnCloseRequested() {
  BackupActivity& activity = backupHost_->Activity();
  if (!activity.Busy()) return true;
  if (closeAsked_) return false;  // the question is open, or the answer is being carried out
  closeAsked_ = true;
  const bool wait = prompt_.Confirm(kCloseDuringBackupQuestion, " Quiz", PromptStyle::Question);
  if (!activity.Busy()) return true;  // it ended while the question was open
  if (!wait) activity.RequestStop();
  closeWhenIdle_ = true;
  return false;
}

// Their pending steps are dropped with the workers and timers that would hand them back; SteamCMD
// and the server go on by themselves.
void Application::CancelPendingSteps() {
  server_->Cancel();
  updateActions_.Cancel();
  appInfoQuery_.reset();
  updateCountdown_.Cancel();
  addressLookup_.reset();
  mappingAtStart_->Cancel();
  alertSender_->Cancel();
}

void Application::OnBackupActivityChanged() {
  if (closeWhenIdle_ && !backupHost_->Activity().Busy()) {
    ::PostMessageW(mainWindow_.Handle(), WM_CLOSE, 0, 0);
  }
}

BackupPlaces Application::Places() const {
  return {toolDirectory_, SaveDataDir(paths_)};
}

void Application::OpenConnectionDoctor() {
  DoctorSetup setup;
  setup.owner = mainWindow_.Handle();
  setup.prompt = &prompt_;
  setup.log = &*eventLog_;
  setup.primaryEchoUrl = kPrimaryIpEchoAddress;
  setup.fallbackEchoUrl = kFallbackIpEchoAddress;
  setup.serverProgram =
      paths_.ServerDir + "Pal\\Binaries\\Win64\\" + std::string(kServerWorkerNames[1]);
  setup.natFound = [this](bool carrierGradeNat) { carrierGradeNat_ = carrierGradeNat; };
  setup.ports = [this] {
    const bool running = server_->State() == ServerState::Running;
    return DoctorPorts{settings_.gamePort, PortNumber(settings_.gamePort),
                       PortNumber(settings_.queryPort), PortNumber(settings_.restApiPort),
                       running ? server_->ProcessId() : 0};
  };
  setup.search = RouterSearchTarget();
  const std::string echo = TestOverride("TIDEMOOR_TEST_IP_ECHO");
  if (!echo.empty()) setup.primaryEchoUrl = setup.fallbackEchoUrl = echo;
  connectionDoctor_.Open(std::move(setup));
}

// A start the tool made (also each restart) or a server it took over maps; a stop, a kill or a
// crash the monitor saw removes. A start that never got the server running has nothing to remove.
void Application::OnServerStateChanged(ServerState state) {
  if (state == ServerState::Running && settings_.mapPortsAtStart) {
    mappingAtStart_->Map(PortNumber(settings_.gamePort), PortNumber(settings_.queryPort));
  }
  if (state == ServerState::Stopped) mappingAtStart_->Remove();
}

void Application::OpenBackupManager() {
  backupManager_.Open(BackupManagerSetup{mainWindow_.Handle(), Places(), &prompt_, &*backupHost_,
                                         &settings_.retention});
}

ApiAccess Application::PlayersAccess() const {
  return {server_->State() == ServerState::Running, RestApiOnInWorldSettings(paths_),
          server_->Endpoint()};
}

// The point is copied on the backup engine's worker while the windows go on. A user who asked to
// close meanwhile lets the point finish or stops it, but nothing that waited for it follows: no
// file renamed, no server started, no window opened.
void Application::MakePointBeforeWorldChange(std::function<void(BackupPointResult)> done) {
  MakePointBeforeChange(*backupHost_, Places(), settings_.retention,
                        server_->State() == ServerState::Starting,
                        [this, done = std::move(done)](bool made) {
                          if (closeAsked_) return;
                          done(made ? BackupPointResult::Made : BackupPointResult::Failed);
                        });
}

// Opened with whatever the user reads text files with; before the first event there is no file,
// and an empty one opens where a missing one would give an error.
void Application::OpenEventLog() {
  eventLog_->FlushThen([this] {
    const std::string& path = eventLog_->Path();
    if (ReadWholeFile(path).state == FileState::Missing) WriteNewWholeFile(path, "");
    ::ShellExecuteW(mainWindow_.Handle(), L"open", Widen(path).c_str(), nullptr, nullptr, SW_SHOW);
  });
}

}  // namespace tidemoor
