#include "app/application_win.h"

#include <utility>

#include "app/tool_settings_binding.h"
#include "backup/restore_operation.h"
#include "install/tool_path_check_win.h"
#include "platform/directories_win.h"
#include "platform/profile_win.h"
#include "platform/random_win.h"

namespace tidemoor {
namespace {

constexpr unsigned kLiveStatusMilliseconds = 10'000;

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
  RepairInterruptedRestoreNow(*backupHost_, prompt_, toolDirectory_);

  if (!mainWindow_.Create()) return false;
  ShowToolSettings(settings_, mainWindow_);
  mainWindow_.Show();
  mainWindow_.FinishShowingLater();
  return true;
}

// Runs from the message loop, first thing after the window has shown itself: the clean-up of the
// unfinished points an earlier run left, the search for a server it left running, and the live
// status's requests. A click that beat it into the queue (another program may find the window as
// soon as it exists) runs it first.
void Application::FinishStartUp() {
  if (std::exchange(startUpFinished_, true)) return;
  RemoveUnfinishedPointsLater(*backupHost_, toolDirectory_);
  server_->AdoptServerLeftRunning();
  mainWindow_.SetTimerInterval(MainControl::LiveStatusTimer, kLiveStatusMilliseconds);
  ArmUpdateCheck();
}

}  // namespace tidemoor
