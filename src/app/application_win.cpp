#include "app/application_win.h"

#include <chrono>
#include <utility>

#include "backup/auto_backup.h"
#include "app/sealed_secrets.h"
#include "backup/backup_store_win.h"
#include "platform/profile_win.h"
#include "platform/text.h"
#include "platform/user_seal_win.h"

namespace tidemoor {
namespace {

constexpr char kCloseDuringBackupQuestion[] =
    " 备份操作尚未完成 - 是否等待其完成后再退出? \r\n"
    " 选择“否”将取消该操作并退出 (已有的存档和备份点保持不变) ";

}  // namespace

Application::Application(RunOptions options)
    : options_(std::move(options)),
      prompt_([this] { return mainWindow_.Handle(); }),
      mainWindow_(*this, *this, settings_, prompt_),
      updateActions_(
          paths_,
          [this](std::function<void(bool)> done) {
            server_->Controller().Stop([this, done = std::move(done)](bool stopped) {
              if (stopped) eventLog_->Record("手动更新服务端");
              done(stopped);
            });
          },
          [this](std::string_view text) { mainWindow_.SetText(MainControl::StatusLine, text); },
          [this](const InstallStatus& status) {
            if (status.running) mainWindow_.SetText(MainControl::StatusLine, status.line);
            mainWindow_.ShowProgress(
                MainControl::InstallProgressBar,
                status.running ? std::optional<int>(status.percent) : std::nullopt);
          },
          [this](std::string_view text) { eventLog_->Record(text); }) {}

void Application::WireParts() {
  eventLog_.emplace(paths_.DataDir + "Tidemoor.log");
  server_.emplace(
      ServerSideWiring{mainWindow_, settings_, paths_, prompt_, *eventLog_, updateActions_,
                       [this] { SaveSettings(); }, [this] { OpenBackupManager(); },
                       [this](std::function<void(BackupPointResult)> done) {
                         MakePointBeforeWorldChange(std::move(done));
                       },
                       [this](const std::vector<std::string>& kept) { RememberKeptWorlds(kept); }});
  ServerController& server = server_->Controller();
  backupHost_.emplace(BackupHostWiring{
      [&server](std::function<void(bool)> done) { server.Stop(std::move(done)); },
      [&server] { return server.State() == ServerState::Running; },
      // The copy then holds a complete save; without an answer it copies what is on disk.
      [&server](std::function<void()> then) {
        server.SaveBeforeBackup([then = std::move(then)](SaveOutcome) { then(); });
      },
      // Once the user asked to close, what finishes meanwhile is not told: the tool is going.
      [this] { return CloseAsked(); }, &*eventLog_,
      [&server] {
        const ServerState state = server.State();
        return state == ServerState::Running || state == ServerState::Stopped;
      }});
  backupHost_->Activity().Watch([this] { OnBackupActivityChanged(); });
  server.SetCopyRunning([this] {
    const BackupTask task = backupHost_->Activity().Task();
    return task == BackupTask::Point || task == BackupTask::Restore;
  });

  const TestSettings& tests = options_.tests;
  HostingTimings timings;
  timings.routerSearch = RouterSearch();
  if (tests.memoryCheckMs) timings.memoryCheck = std::chrono::milliseconds(tests.memoryCheckMs);
  timings.updateCheck = std::chrono::milliseconds(tests.updateCheckMs);
  if (tests.metricsSampleMs)
    timings.metricsSample = std::chrono::milliseconds(tests.metricsSampleMs);
  if (tests.remoteNoticeMs) timings.remoteNotice = std::chrono::milliseconds(tests.remoteNoticeMs);
  hosting_.emplace(HostingWiring{
      server, *eventLog_, server_->Clock(), updateActions_, paths_, prompt_,
      [this] { return Choices(); }, [this] { return server_->WorkerMemoryInUse(); },
      [this](std::string_view line) { mainWindow_.SetText(MainControl::LiveStatusLine, line); },
      [this](std::function<void(std::string)> done) {
        MakeRequestedPoint(*backupHost_, Places(), settings_.retention,
                           [this, done = std::move(done)](std::string whyNot) {
                             if (!CloseAsked()) done(std::move(whyNot));
                           });
      },
      [this] {
        const std::optional<BackupPoint> newest = NewestBackupPoint(paths_.ToolDir);
        return newest ? newest->DisplayTime : std::string();
      },
      timings});
  server.SetListener(&*hosting_);
  hosting_->OnMetricsSample(
      [this](const MetricsSample& sample) { windows_.metrics.AddSample(sample); });
  hosting_->Remote().OnLineChanged([this] { windows_.remote.ShowLine(); });
  autoBackupRecord_.failureAlert = [this](std::string_view text) {
    hosting_->Alert(AlertEvent::Backup, TrimBlanks(text, " \t\r\n"));
  };
}

// The end-to-end tests stand a router up on this PC; the real one is looked for on the LAN.
SearchTarget Application::RouterSearch() const {
  if (options_.tests.routerSearchPort == 0) return {};
  return SearchTarget{"127.0.0.1", options_.tests.routerSearchPort};
}

// The public address is looked up from the real services, or from the tests' on this PC.
std::pair<std::string, std::string> Application::AddressEchoes() const {
  if (!options_.tests.addressEcho.empty()) {
    return {options_.tests.addressEcho, options_.tests.addressEcho};
  }
  return {kPrimaryIpEchoAddress, kFallbackIpEchoAddress};
}

HostingChoices Application::Choices() const {
  std::vector<std::string> secrets = {settings_.adminPassword, settings_.remote.kookToken};
  for (const WebhookAddress& address : settings_.alerts.addresses) {
    secrets.push_back(address.url);
    secrets.push_back(address.secret);
  }
  return {settings_.mapPortsAtStart, settings_.memoryRestartGb, settings_.updateCheckMinutes,
          settings_.alerts,          settings_.serverName,      settings_.keepAwake,
          settings_.whitelist,       settings_.remote,          std::move(secrets)};
}

BackupPlaces Application::Places() const {
  return {paths_.ToolDir, SaveDataDir(paths_)};
}

// The settings file mirrors the value: written at each press of the start/stop button and, for
// the last time, as the window goes. The kept worlds follow the other keys, as they always have.
void Application::SaveSettings() {
  if (phase_ == Phase::Closing) return;
  const std::string typedName = settings_.serverName;
  GbkProfileFile file(ToolSettingsFile(paths_));
  UserSeal seal;
  SealedSecretsFile sealedFile(file, seal);
  SaveToolSettings(sealedFile, settings_);
  SaveToolSetting(file, settings_, kWorldOptionKeptKey);
  if (settings_.serverName != typedName) {
    mainWindow_.SetText(MainControl::ServerNameEdit, settings_.serverName);
  }
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

// The point is copied on the backup engine's worker while the windows go on. A user who asked to
// close meanwhile lets the point finish or stops it, but nothing that waited for it follows: no
// file renamed, no server started, no window opened.
void Application::MakePointBeforeWorldChange(std::function<void(BackupPointResult)> done) {
  MakePointBeforeChange(*backupHost_, Places(), settings_.retention,
                        server_->Controller().State() == ServerState::Starting,
                        [this, done = std::move(done)](bool made) {
                          if (CloseAsked()) return;
                          done(made ? BackupPointResult::Made : BackupPointResult::Failed);
                        });
}

void Application::OnTimer(MainControl timer) {
  if (timer == MainControl::MonitorTimer) server_->Controller().OnMonitorTick();
  if (timer == MainControl::AutoBackupTimer) OnAutoBackupTick();
}

void Application::OnAutoBackupTick() {
  // A point taken while the server starts or stops would copy a save in the middle of changing.
  const AutoBackupDecision decision = DecideAutoBackupTick(
      settings_.autoBackup, server_->Controller().State() == ServerState::Running,
      settings_.autoBackupMinutes);
  if (decision.makePoint) {
    MakeAutomaticBackupPoint(*backupHost_, prompt_, Places(), settings_.retention,
                             autoBackupRecord_);
  } else {
    mainWindow_.SetTimerInterval(MainControl::AutoBackupTimer, decision.rearmPeriod);
  }
}

void Application::OnResumedFromSleep() {
  server_->Controller().OnResumedFromSleep();
}

// A backup operation that is cut off leaves a half point or half a restored save behind, so the
// user chooses: wait for it, or stop it cleanly (the copy stops after its current file and takes
// away what it made, a restore puts the live save back) and close. Either way the window closes
// once the operation has ended, and the tool is on its way out from the question on.
bool Application::OnCloseRequested() {
  BackupActivity& activity = backupHost_->Activity();
  if (!activity.Busy()) return true;
  if (CloseAsked()) return false;  // the question is open, or the answer is being carried out
  phase_ = Phase::AskingToClose;
  const bool wait = prompt_.Confirm(kCloseDuringBackupQuestion, " Quiz", PromptStyle::Question);
  if (!activity.Busy()) return true;  // it ended while the question was open
  if (!wait) activity.RequestStop();
  phase_ = Phase::ClosingWhenIdle;
  return false;
}

void Application::OnBackupActivityChanged() {
  if (phase_ == Phase::ClosingWhenIdle && !backupHost_->Activity().Busy()) {
    ::PostMessageW(mainWindow_.Handle(), WM_CLOSE, 0, 0);
  }
}

// The settings are saved for the last time; then every step still pending is dropped with the
// workers and timers that would hand it back. SteamCMD and the server go on by themselves.
void Application::OnClosing() {
  SaveSettings();
  phase_ = Phase::Closing;
  server_->Controller().Cancel();
  updateActions_.Cancel();
  hosting_->Cancel();
  addressLookup_.reset();
  logonEntryCheck_.Stop();
}

}  // namespace tidemoor
