#include "app/application_win.h"

#include <shellapi.h>

#include <memory>
#include <utility>

#include "platform/codepage_win.h"
#include "platform/profile_win.h"
#include "platform/pumping_wait_win.h"
#include "platform/whole_file_win.h"
#include "worldsettings/world_settings_file_win.h"

namespace tidemoor {
namespace {

using C = MainControl;

constexpr char kCloseDuringBackupQuestion[] =
    " 备份操作尚未完成 - 是否等待其完成后再退出? \r\n"
    " 选择“否”将取消该操作并退出 (已有的存档和备份点保持不变) ";
// A copy stops after the file it is at; a delete already under way finishes.
constexpr std::chrono::seconds kLongestStopWait{60};
// A restore is never walked away from: cut off, it would leave half a save where the server looks.
constexpr std::chrono::hours kLongestRestoreWait{24};

}  // namespace

Application::Application()
    : prompt_([this] { return mainWindow_.Handle(); }),
      routing_(*this),
      mainWindow_(routing_, prompt_),
      serverView_(mainWindow_),
      serverSettings_(settings_, [this] { SaveSettings(); }),
      clock_([this] { return closing_; }),
      updateActions_(
          paths_,
          [this] {
            if (!server_->Stop()) return false;
            eventLog_->Record("手动更新服务端");
            return true;
          },
          [this](std::string_view text) { mainWindow_.SetText(C::StatusLine, text); }),
      worldSettingsWriter_(paths_, prompt_, settings_),
      startSteps_(
          [this] {
            eventLog_->Record("启动前自动更新服务端");
            PerformAutoUpdate(settings_.autoUpdate, paths_, updateActions_);
          },
          [this](const StartWorldSettings& wanted) {
            worldSettingsWriter_.Write(wanted, *eventLog_);
          },
          [this] { return loadedWorld_->BeforeStart(); }),
      serverApi_([this] { return closing_; }),
      playersApi_([this] { return closing_; }),
      liveStatus_(playersApi_,
                  [this](std::string_view line) { mainWindow_.SetText(C::LiveStatusLine, line); }) {
}

void Application::WireServerAndBackups() {
  eventLog_.emplace(paths_.DataDir + "Tidemoor.log");
  crashReports_.emplace(paths_.ServerDir);
  server_.emplace(ServerWorld{serverView_, serverSettings_, serverProcesses_, clock_, prompt_,
                              startSteps_, ServerExecutable(paths_), paths_.ServerDir, serverApi_,
                              *eventLog_, *crashReports_, [this] { OpenBackupManager(); }});
  backupHost_.emplace(BackupHostWiring{
      [this] { return server_->Stop(); },
      [this] { return server_->State() == ServerState::Running; },
      // The copy then holds a complete save; without an answer it copies what is on disk.
      [this](std::function<void()> then) {
        server_->SaveBeforeBackup();
        then();
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
  loadedWorld_.emplace(
      LoadedWorldWiring{savedWorlds_, prompt_, *eventLog_,
                        [this] { return MakePointBeforeWorldChange(); },
                        [this](const std::vector<std::string>& kept) { RememberKeptWorlds(kept); }},
      settings_.keptWorlds);
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
}

// Written at once: the answer must survive a tool that does not get to close normally.
void Application::RememberKeptWorlds(const std::vector<std::string>& kept) {
  settings_.keptWorlds = kept;
  GbkProfileFile file(ToolSettingsFile(paths_));
  SaveToolSetting(file, settings_, kWorldOptionKeptKey);
}

// A backup operation that is cut off leaves a half point or half a restored save behind, so the
// user chooses: wait for it, or stop it cleanly (the copy stops after its current file and takes
// away what it made) and close. Either way the tool is on its way out from the question on.
bool Application::OnCloseRequested() {
  BackupActivity& activity = backupHost_->Activity();
  if (!activity.Busy()) return true;
  if (closeAsked_) return false;  // the question is open, or the answer was to wait
  closeAsked_ = true;
  const bool wait = prompt_.Confirm(kCloseDuringBackupQuestion, " Quiz", PromptStyle::Question);
  if (!activity.Busy()) return true;  // it ended while the question was open
  if (wait) {
    closeWhenIdle_ = true;
    return false;
  }
  const bool restoring = activity.Task() == BackupTask::Restore;
  activity.RequestStop();
  PumpUntil([&] { return !activity.Busy(); }, restoring ? kLongestRestoreWait : kLongestStopWait);
  return true;
}

void Application::OnBackupActivityChanged() {
  if (closeWhenIdle_ && !backupHost_->Activity().Busy()) {
    ::PostMessageW(mainWindow_.Handle(), WM_CLOSE, 0, 0);
  }
}

BackupPlaces Application::Places() const {
  return {toolDirectory_, SaveDataDir(paths_)};
}

void Application::OpenBackupManager() {
  backupManager_.Open(BackupManagerSetup{mainWindow_.Handle(), Places(), &prompt_, &*backupHost_,
                                         &settings_.retention});
}

// The settings window's restart: the safe stop, then a start after the pause the interval
// restart makes too, so the game ports are free again.
void Application::SafeRestart() {
  if (server_->State() != ServerState::Running || !server_->Stop()) return;
  if (clock_.PumpingWait(2)) server_->Toggle();
}

ApiAccess Application::PlayersAccess() const {
  return {server_->State() == ServerState::Running, RestApiOnInWorldSettings(paths_),
          server_->Endpoint()};
}

// The point is copied on the backup engine's worker while the windows go on. A user who asked to
// close meanwhile gets no server started after it.
BackupPointResult Application::MakePointBeforeWorldChange() {
  auto made = std::make_shared<std::optional<bool>>();
  MakePointBeforeChange(*backupHost_, Places(), settings_.retention,
                        server_->State() == ServerState::Starting, [made](bool ok) { *made = ok; });
  PumpUntil([&] { return made->has_value() || closing_; }, std::chrono::hours(24));
  if (closing_ || closeAsked_) return BackupPointResult::ToolClosing;
  return made->value_or(false) ? BackupPointResult::Made : BackupPointResult::Failed;
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
