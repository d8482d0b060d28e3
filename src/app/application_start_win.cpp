#include "app/application_win.h"

#include <cstdlib>
#include <utility>

#include "app/start_with_windows_win.h"
#include "app/tool_settings_binding.h"
#include "backup/restore_operation.h"
#include "install/tool_path_check_win.h"
#include "platform/directories_win.h"
#include "platform/profile_win.h"
#include "platform/random_win.h"
#include "platform/text.h"
#include "platform/system_error.h"

namespace tidemoor {
namespace {

using C = MainControl;

constexpr char kLogonEntryAddFailed[] = "未能添加随 Windows 启动";
constexpr char kLogonEntryRemoveFailed[] = "未能取消随 Windows 启动";

constexpr unsigned kLiveStatusMilliseconds = 10'000;
constexpr unsigned kMemoryCheckMilliseconds = 60'000;

// The end-to-end tests check the memory every second instead of waiting out real minutes;
// nothing else sets this.
unsigned MemoryCheckMilliseconds() {
  const char* override = std::getenv("TIDEMOOR_TEST_MEMORY_CHECK_MS");
  const int milliseconds = override ? TextToNumber(override) : 0;
  return milliseconds > 0 ? static_cast<unsigned>(milliseconds) : kMemoryCheckMilliseconds;
}

}  // namespace

int Application::Run() {
  if (!StartUp()) return 1;
  const JobFailureLog jobFailures([this](std::string_view text) { eventLog_->Record(text); });
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

// Before the window: the tool's place, its folders, its settings and the parts wired together
// (made, not yet working: the event log opens its file at the first event). A restore cut off by
// an earlier run is put right before anything can touch the save, and says so before the window
// appears. The window is on screen before anything slower runs.
bool Application::StartUp() {
  // Started from a shortcut, the task scheduler or a prompt elsewhere, the process's directory is
  // not the tool's; the automatic update script changes into PaLWorld_Data relative to it.
  toolDirectory_ = ToolDirectory();
  SetCurrentDirectoryTo(toolDirectory_);
  InitCommonControlClasses();

  CheckToolPath(toolDirectory_, prompt_);
  paths_ = MakeServerPaths(toolDirectory_);
  EnsureDirectory(paths_.DataDir);
  EnsureDirectory(paths_.ServerDir);
  GbkProfileFile settingsFile(ToolSettingsFile(paths_));
  settings_ = LoadToolSettings(settingsFile, &RandomLetters);
  WireServerAndBackups();
  RepairInterruptedRestoreNow(*backupHost_, prompt_, Places());

  if (!mainWindow_.Create()) return false;
  ShowToolSettings(settings_, mainWindow_);
  ShowLogonEntry();
  mainWindow_.Show(startedAtLogon_);
  mainWindow_.FinishShowingLater();
  return true;
}

// Runs from the message loop, first thing after the window has shown itself: the clean-up of the
// unfinished points an earlier run left, the search for a server it left running (before any
// start the user asked for at every tool start, so that one never runs beside it), and the live
// status's requests. A click that beat it into the queue (another program may find the window as
// soon as it exists) runs it first.
void Application::FinishStartUp() {
  if (std::exchange(startUpFinished_, true)) return;
  RemoveUnfinishedPointsLater(*backupHost_, toolDirectory_);
  server_->AdoptServerLeftRunning();
  StartServerIfAsked();
  mainWindow_.SetTimerInterval(MainControl::LiveStatusTimer, kLiveStatusMilliseconds);
  mainWindow_.SetTimerInterval(MainControl::MemoryTimer, MemoryCheckMilliseconds());
  ArmUpdateCheck();
}

void Application::StartServerIfAsked() {
  if (!settings_.autoStart || server_->State() != ServerState::Stopped) return;
  eventLog_->Record("启动工具时自动开服");
  server_->Toggle();
}

// Read again whenever it is shown: the user may change it in Task Manager or Windows' settings
// while the tool runs.
void Application::ShowLogonEntry() {
  const LogonEntry entry = ReadLogonEntry(ToolExecutable());
  settings_.runAtLogon = entry != LogonEntry::Off;
  mainWindow_.SetTicked(C::RunAtLogonBox, settings_.runAtLogon);
  mainWindow_.SetText(C::RunAtLogonHint,
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
