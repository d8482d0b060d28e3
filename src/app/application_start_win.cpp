#include "app/application_win.h"

#include <chrono>
#include <utility>

#include "app/sealed_secrets.h"
#include "app/start_with_windows_win.h"
#include "app/tool_settings_binding.h"
#include "backup/restore_operation.h"
#include "install/tool_path_check_win.h"
#include "platform/directories_win.h"
#include "platform/profile_win.h"
#include "platform/random_win.h"
#include "platform/user_seal_win.h"
#include "platform/system_error.h"
#include "platform/text.h"

namespace tidemoor {
namespace {

constexpr char kLogonEntryAddFailed[] = "未能添加随 Windows 启动";
constexpr char kLogonEntryRemoveFailed[] = "未能取消随 Windows 启动";

constexpr auto kLogonEntryCheck = std::chrono::seconds(10);
// Well inside the 2 s in which a closed tool must be gone, so that it can be opened again.
constexpr std::chrono::milliseconds kLastEventsLimit(1500);

}  // namespace

int Application::Run() {
  int exitCode = 1;
  if (StartUp()) {
    const JobFailureLog jobFailures([this](std::string_view text) { eventLog_->Record(text); });
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) {
      // Tab and the arrow keys move between the controls of whichever window is active.
      const HWND active = ::GetActiveWindow();
      if (active && ::IsDialogMessageW(active, &message)) continue;
      ::TranslateMessage(&message);
      ::DispatchMessageW(&message);
    }
    exitCode = static_cast<int>(message.wParam);
  }
  // The process ends as soon as this returns, abandoning whatever is still under way (entry_win);
  // the events recorded so far get a bounded moment to reach the file.
  if (eventLog_) eventLog_->FlushWithin(kLastEventsLimit);
  return exitCode;
}

// Before the window: the tool's place, its folders, its settings and the parts wired together
// (made, not yet working: the event log opens its file at the first event). A restore cut off by
// an earlier run is put right before anything can touch the save, and says so before the window
// appears. The window is on screen before anything slower runs.
bool Application::StartUp() {
  // Started from a shortcut, the task scheduler or a prompt elsewhere, the process's directory is
  // not the tool's; the automatic update script changes into PaLWorld_Data relative to it.
  const std::string toolDirectory = ToolDirectory();
  SetCurrentDirectoryTo(toolDirectory);
  InitCommonControlClasses();

  CheckToolPath(toolDirectory, prompt_);
  paths_ = MakeServerPaths(toolDirectory);
  EnsureDirectory(paths_.DataDir);
  EnsureDirectory(paths_.ServerDir);
  GbkProfileFile settingsFile(ToolSettingsFile(paths_));
  UserSeal seal;
  SealedSecretsFile sealedFile(settingsFile, seal);
  settings_ = LoadToolSettings(sealedFile, &RandomLetters);
  // A secret typed into the file by hand does not stay there readable.
  for (const std::string& key : sealedFile.UnsealedKeys()) {
    SaveToolSetting(sealedFile, settings_, key);
  }
  WireParts();
  // The file came from another PC or another Windows user: the secrets it holds are lost to this
  // one, and the host must hear which before a bot or an alert silently stops working.
  if (!sealedFile.UnopenedKeys().empty()) {
    const std::string text = "设置中的 " + JoinTexts(sealedFile.UnopenedKeys(), "、") +
                             " 无法解密 (它由另一台电脑或另一个 Windows 用户保存) - 请重新填写";
    eventLog_->Record(text);
    prompt_.TellInTurn(" " + text + " ", " Info", PromptStyle::Information);
  }
  RepairInterruptedRestoreNow(*backupHost_, prompt_, Places());

  if (!mainWindow_.Create()) return false;
  ShowToolSettings(settings_, mainWindow_);
  ShowLogonEntry();
  mainWindow_.Show(options_.atLogon);
  mainWindow_.FinishShowingLater();
  return true;
}

// Runs from the message loop, first thing after the window has shown itself: the clean-up of the
// unfinished points an earlier run left, the search for a server it left running (before any
// start the user asked for at every tool start, so that one never runs beside it), and the checks
// around the running server. A click that beat it into the queue (another program may find the
// window as soon as it exists) runs it first.
void Application::FinishStartUp() {
  if (phase_ != Phase::Opening) return;
  phase_ = Phase::Open;
  RemoveUnfinishedPointsLater(*backupHost_, paths_.ToolDir);
  ServerController& server = server_->Controller();
  server.AdoptServerLeftRunning();
  if (settings_.autoStart && server.State() == ServerState::Stopped) {
    eventLog_->Record("启动工具时自动开服");
    server.StartUnattended();
  }
  hosting_->Begin();
  // A first start: nothing installed and nothing running. The guide stands beside the window.
  if (server.State() == ServerState::Stopped && ServerMissing(paths_)) OpenFirstStartGuide();
  logonEntryCheck_.Every(kLogonEntryCheck, [this] { ShowLogonEntry(); });
}

// Read again whenever it is shown: the user may change it in Task Manager or Windows' settings
// while the tool runs.
void Application::ShowLogonEntry() {
  const LogonEntry entry = ReadLogonEntry(ToolExecutable());
  settings_.runAtLogon = entry != LogonEntry::Off;
  mainWindow_.SetTicked(MainControl::RunAtLogonBox, settings_.runAtLogon);
  mainWindow_.SetText(MainControl::RunAtLogonHint,
                      entry == LogonEntry::DisabledByWindows ? kLogonEntryDisabledHint : "");
}

// Whatever came of it, the box then shows what the registry holds, and the settings file mirrors
// it at once.
void Application::ChangeLogonEntry() {
  const bool wanted = settings_.runAtLogon;
  const std::string executable = ToolExecutable();
  const Outcome changed = wanted ? RegisterLogonEntry(executable) : RemoveLogonEntry(executable);
  if (!changed) {
    const std::string text =
        WithCause(wanted ? kLogonEntryAddFailed : kLogonEntryRemoveFailed, changed.Error());
    eventLog_->Record(text);
    prompt_.Ask(" " + text + " ", " Error", PromptStyle::Error);
  }
  ShowLogonEntry();
  GbkProfileFile file(ToolSettingsFile(paths_));
  SaveToolSetting(file, settings_, kRunAtLogonKey);
}

}  // namespace tidemoor
