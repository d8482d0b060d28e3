#include "app/application_win.h"

#include <shellapi.h>

#include <charconv>
#include <cstdlib>
#include <memory>
#include <utility>

#include "app/control_values.h"
#include "app/main_values.h"
#include "app/tool_settings.h"
#include "backup/auto_backup.h"
#include "backup/restore_operation.h"
#include "common/product.h"
#include "install/tool_path_check_win.h"
#include "net/connect_address_win.h"
#include "platform/codepage_win.h"
#include "platform/directories_win.h"
#include "platform/profile_win.h"
#include "platform/random_win.h"
#include "platform/run_command_win.h"
#include "platform/whole_file_win.h"
#include "platform/worker_win.h"
#include "worldsettings/world_settings_file_win.h"

namespace tidemoor {
namespace {

using C = MainControl;

constexpr char kCloseDuringBackupQuestion[] =
    " 备份操作尚未完成 - 是否等待其完成后再退出? \r\n"
    " 选择“否”将取消该操作并退出 (已有的存档和备份点保持不变) ";
constexpr char kStartDuringRestoreMessage[] = " 正在还原存档 - 请在还原完成后再启动服务端 ";
constexpr unsigned kLiveStatusMilliseconds = 10'000;
constexpr char kEmptyAdminPasswordText[] =
    " 管理员密码为空 - 未开启 REST API，安全关服、在线玩家等功能不可用 ";
constexpr char kWeakAdminPasswordText[] =
    " 管理员密码过于简单 (少于 8 个字符或全是数字) - "
    "任何能连到 REST API 端口的人都可以用它管理服务端 ";
constexpr char kNotWrittenSuffix[] = ", 未写入服务器名字、密码和 REST API 设置 (文件保持原样)";

}  // namespace

Application::Application()
    : prompt_([this] { return mainWindow_.Handle(); }),
      mainWindow_(*this, prompt_),
      serverView_(mainWindow_),
      serverSettings_(mainWindow_, [this] { SaveSettings(); }),
      updateActions_(
          paths_,
          [this](std::function<void(bool)> done) {
            server_->Stop([this, done = std::move(done)](bool stopped) {
              if (stopped) eventLog_->Record("手动更新服务端");
              done(stopped);
            });
          },
          [this](std::string_view text) { mainWindow_.SetText(C::StatusLine, text); }),
      startSteps_(
          [this](std::function<void()> done) {
            eventLog_->Record("启动前自动更新服务端");
            PerformAutoUpdate(ReadAutomation(mainWindow_).autoUpdate, paths_, updateActions_,
                              std::move(done));
          },
          [this](const StartWorldSettings& wanted) { WriteWorldSettings(wanted); },
          [this](std::function<void(bool)> done) { loadedWorld_->BeforeStart(std::move(done)); }),
      liveStatus_(playersApi_,
                  [this](std::string_view line) { mainWindow_.SetText(C::LiveStatusLine, line); }) {
}

int Application::Run() {
  // Started from a shortcut, the task scheduler or a prompt elsewhere, the process's directory is
  // not the tool's; the automatic update script changes into PaLWorld_Data relative to it.
  toolDirectory_ = ToolDirectory();
  SetCurrentDirectoryTo(toolDirectory_);
  InitCommonControlClasses();

  CheckToolPath(toolDirectory_, prompt_);
  paths_ = MakeServerPaths(toolDirectory_);
  EnsureDirectory(paths_.DataDir);
  EnsureDirectory(paths_.ServerDir);
  eventLog_.emplace(paths_.DataDir + "Tidemoor.log");
  const JobFailureLog jobFailures([this](std::string_view text) { eventLog_->Record(text); });
  crashReports_.emplace(paths_.ServerDir);
  server_.emplace(ServerWorld{serverView_, serverSettings_, serverProcesses_, clock_, prompt_,
                              startSteps_, ServerExecutable(paths_), paths_.ServerDir, serverApi_,
                              *eventLog_, *crashReports_, [this] { OpenBackupManager(); }});
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
  server_->SetCopyRunning([this] {
    const BackupTask task = backupHost_->Activity().Task();
    return task == BackupTask::Point || task == BackupTask::Restore;
  });
  RepairInterruptedRestoreNow(*backupHost_, prompt_, toolDirectory_);
  RemoveUnfinishedPointsLater(*backupHost_, toolDirectory_);

  ControlValues saved;
  GbkProfileFile settingsFile(ToolSettingsFile(paths_));
  windowTitle_ = LoadToolSettings(settingsFile, saved, &RandomLetters);
  retention_ = LoadBackupRetention(settingsFile);
  loadedWorld_.emplace(LoadedWorldWiring{savedWorlds_, prompt_, *eventLog_,
                                         [this](std::function<void(BackupPointResult)> done) {
                                           MakePointBeforeWorldChange(std::move(done));
                                         },
                                         [this](const std::vector<std::string>& kept) {
                                           GbkProfileFile file(ToolSettingsFile(paths_));
                                           SaveKeptWorldOptions(file, kept);
                                         }},
                       LoadKeptWorldOptions(settingsFile));

  if (!mainWindow_.Create()) return 1;
  saved.ShowIn(mainWindow_);
  mainWindow_.Show();
  server_->AdoptServerLeftRunning();
  mainWindow_.SetTimerInterval(C::LiveStatusTimer, kLiveStatusMilliseconds);

  MSG message;
  while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
    // Tab and the arrow keys move between the controls of whichever window is active.
    const HWND active = ::GetActiveWindow();
    if (active && ::IsDialogMessageW(active, &message)) continue;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
  }
  return static_cast<int>(message.wParam);
}

// The settings file mirrors the controls: written at each press of the start/stop button and,
// for the last time, as the window goes.
void Application::SaveSettings() {
  if (closing_) return;
  GbkProfileFile file(ToolSettingsFile(paths_));
  SaveToolSettings(file, mainWindow_, windowTitle_, retention_);
  SaveKeptWorldOptions(file, loadedWorld_->KeptWorlds());
  // Settings the user changed would silently be gone at the next start.
  if (const std::optional<SystemError>& failure = file.Failure()) {
    const std::string text =
        WithCause("设置未能保存 - 无法写入 " + ToolSettingsFile(paths_), *failure);
    eventLog_->Record(text);
    prompt_.Ask(" " + text + " ", " Error", PromptStyle::Error);
  }
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

void Application::OnBackupActivityChanged() {
  if (closeWhenIdle_ && !backupHost_->Activity().Busy()) {
    ::PostMessageW(mainWindow_.Handle(), WM_CLOSE, 0, 0);
  }
}

// The one place where the operations still under way end: their pending steps are dropped with
// the workers and timers that would hand them back. SteamCMD and the server go on by themselves.
void Application::OnClosing() {
  SaveSettings();
  closing_ = true;
  server_->Cancel();
  updateActions_.Cancel();
  addressLookup_.reset();
}

BackupPlaces Application::Places() const {
  return {toolDirectory_, SaveDataDir(paths_)};
}

// The event bindings of the main window.
void Application::OnClicked(MainControl control) {
  switch (control) {
    case C::StartButton:
      // A server started now would find half a restored save.
      if (backupHost_->Activity().Task() == BackupTask::Restore &&
          server_->State() == ServerState::Stopped) {
        prompt_.Ask(kStartDuringRestoreMessage, " Info", PromptStyle::Information);
        break;
      }
      server_->Toggle();
      break;
    case C::HideConsoleBox:
      server_->SetConsoleHidden(mainWindow_.IsTicked(C::HideConsoleBox));
      break;
    default:
      break;
  }
}

namespace {

unsigned short PortNumber(const std::string& text) {
  unsigned value = 0;
  const auto [ptr, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
  return ec == std::errc{} && ptr == text.data() + text.size() && value <= 65535
             ? static_cast<unsigned short>(value)
             : 0;
}

// The end-to-end tests stand a router and the address lookup up on 127.0.0.1 and point the checks
// there; nothing else sets these.
std::string TestOverride(const char* name) {
  const char* value = std::getenv(name);
  return value ? value : "";
}

}  // namespace

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
    const std::string game = mainWindow_.Text(C::GamePortEdit);
    const bool running = server_->State() == ServerState::Running;
    return DoctorPorts{game, PortNumber(game), PortNumber(mainWindow_.Text(C::QueryPortEdit)),
                       PortNumber(mainWindow_.Text(C::RestApiPortEdit)),
                       running ? server_->ProcessId() : 0};
  };
  const std::string search = TestOverride("TIDEMOOR_TEST_SSDP_PORT");
  if (!search.empty()) {
    setup.search.host = "127.0.0.1";
    setup.search.port = PortNumber(search);
  }
  const std::string echo = TestOverride("TIDEMOOR_TEST_IP_ECHO");
  if (!echo.empty()) setup.primaryEchoUrl = setup.fallbackEchoUrl = echo;
  connectionDoctor_.Open(std::move(setup));
}

void Application::OpenBackupManager() {
  backupManager_.Open(
      BackupManagerSetup{mainWindow_.Handle(), Places(), &prompt_, &*backupHost_, &retention_});
}

void Application::OnLabelPressed(MainControl label, bool rightButton) {
  if (rightButton) {
    if (label == C::WorldSettingsLabel) RevealWorldSettingsFile(paths_, prompt_);
    return;
  }
  switch (label) {
    case C::ManualUpdateLabel:
      PerformManualUpdate(paths_, updateActions_, prompt_);
      break;
    case C::BackupManagerLabel:
      OpenBackupManager();
      break;
    case C::AdvertLabel:
      ::ShellExecuteW(mainWindow_.Handle(), L"open", Widen(kShopPageAddress).c_str(), L"", L"",
                      SW_SHOW);
      break;
    case C::CopyAddressLabel:
      CopyConnectAddress(mainWindow_.Text(C::GamePortEdit), mainWindow_.Handle(), prompt_,
                         kPrimaryIpEchoAddress, kFallbackIpEchoAddress, carrierGradeNat_,
                         *addressLookup_);
      break;
    case C::ServerFolderLabel:
      RevealInExplorer(ServerExecutable(paths_));
      break;
    case C::WorldSettingsLabel:
      // Settings edited there would not reach a world that carries its own.
      loadedWorld_->BeforeWorldSettings([this] {
        worldSettingsWindow_.Open(
            mainWindow_.Handle(), paths_, prompt_,
            RunningServer{[this] { return server_->State() == ServerState::Running; },
                          [this] { server_->Restart(); }});
      });
      break;
    case C::EventLogLabel:
      OpenEventLog();
      break;
    case C::DoctorLabel:
      OpenConnectionDoctor();
      break;
    case C::PlayersLabel:
      playersWindow_.Open(PlayersWindowSetup{mainWindow_.Handle(), &playersApi_, &prompt_,
                                             &*eventLog_, [this] { return PlayersAccess(); }});
      break;
    default:
      break;
  }
}

void Application::OnTimer(MainControl timer) {
  if (timer == C::MonitorTimer) server_->OnMonitorTick();
  if (timer == C::AutoBackupTimer) OnAutoBackupTick();
  if (timer == C::LiveStatusTimer) {
    liveStatus_.Tick(server_->State() == ServerState::Running, server_->Endpoint());
  }
}

ApiAccess Application::PlayersAccess() const {
  return {server_->State() == ServerState::Running, RestApiOnInWorldSettings(paths_),
          server_->Endpoint()};
}

void Application::OnAutoBackupTick() {
  const ServerState state = server_->State();
  // A point taken while the server starts or stops would copy a save in the middle of changing.
  const AutoBackupDecision decision =
      DecideAutoBackupTick(mainWindow_.IsTicked(C::AutoBackupBox), state == ServerState::Running,
                           mainWindow_.Text(C::AutoBackupMinutes));
  if (decision.makePoint) {
    MakeAutomaticBackupPoint(*backupHost_, prompt_, Places(), retention_, autoBackupRecord_);
  } else {
    mainWindow_.SetTimerInterval(C::AutoBackupTimer, decision.rearmPeriod);
  }
}

// The server reads PalWorldSettings.ini as it starts: the name and passwords the main window shows
// must be the ones it uses, and the REST API must be on in the file by then for the stop to be
// able to ask it to save and shut down.
void Application::WriteWorldSettings(const StartWorldSettings& wanted) {
  GbkProfileFile settingsFile(ToolSettingsFile(paths_));
  const bool apiOnByTool = LoadRestApiByTool(settingsFile);
  const StartSettingsWrite write =
      WriteStartSettings(paths_, {wanted.serverName, wanted.joinPassword, wanted.adminPassword,
                                  wanted.safeStop, wanted.restApiPort, apiOnByTool});
  if (write.plan.apiOnByTool != apiOnByTool) {
    SaveRestApiByTool(settingsFile, write.plan.apiOnByTool);
  }
  switch (write.result) {
    case WorldSettingsWrite::Unchanged:
      break;
    case WorldSettingsWrite::Written:
      eventLog_->Record("已写入 PalWorldSettings.ini: " + PairsForEventLog(write.plan.pairs));
      break;
    case WorldSettingsWrite::Unreadable:
      eventLog_->Record(WithCause("无法读取 PalWorldSettings.ini", write.error) +
                        kNotWrittenSuffix);
      break;
    case WorldSettingsWrite::Undecodable:
      eventLog_->Record(std::string("无法识别 PalWorldSettings.ini 的编码") + kNotWrittenSuffix);
      break;
    case WorldSettingsWrite::WriteFailed:
      eventLog_->Record(WithCause("无法写入 PalWorldSettings.ini", write.error) +
                        ", 未能写入服务器名字、密码和 REST API 设置");
      break;
  }
  if (wanted.safeStop) WarnOfAdminPassword(wanted.adminPassword);
}

// Without a password the API stays off, and every stop ends the server's processes instead of
// asking it to save; a weak one opens the server's admin commands to whoever reaches the port.
void Application::WarnOfAdminPassword(std::string_view adminPassword) {
  switch (JudgeAdminPassword(adminPassword)) {
    case AdminPasswordStrength::Empty:
      eventLog_->Record("管理员密码为空, 未开启 REST API (关服时将直接结束服务端进程)");
      if (std::exchange(toldEmptyAdminPassword_, true)) return;
      prompt_.Ask(kEmptyAdminPasswordText, " Warning", PromptStyle::Warning);
      break;
    case AdminPasswordStrength::Weak:
      if (std::exchange(toldWeakAdminPassword_, true)) return;
      eventLog_->Record("管理员密码过于简单 (少于 8 个字符或全是数字)");
      prompt_.Ask(kWeakAdminPasswordText, " Warning", PromptStyle::Warning);
      break;
    case AdminPasswordStrength::Strong:
      break;
  }
}

// The point is copied on the backup engine's worker while the windows go on. A user who asked to
// close meanwhile lets the point finish or stops it, but nothing that waited for it follows: no
// file renamed, no server started, no window opened.
void Application::MakePointBeforeWorldChange(std::function<void(BackupPointResult)> done) {
  MakePointBeforeChange(*backupHost_, Places(), retention_,
                        server_->State() == ServerState::Starting,
                        [this, done = std::move(done)](bool made) {
                          if (closeAsked_) return;
                          done(made ? BackupPointResult::Made : BackupPointResult::Failed);
                        });
}

// Opened with whatever the user reads text files with; before the first event there is no file,
// and an empty one opens where a missing one would give an error.
void Application::OpenEventLog() {
  eventLog_->Flush();
  const std::string& path = eventLog_->Path();
  if (ReadWholeFile(path).state == FileState::Missing) WriteNewWholeFile(path, "");
  ::ShellExecuteW(mainWindow_.Handle(), L"open", Widen(path).c_str(), nullptr, nullptr, SW_SHOW);
}

}  // namespace tidemoor
