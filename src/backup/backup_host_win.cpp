#include "backup/backup_host_win.h"

#include <windows.h>

#include "backup/backup_files_win.h"
#include "backup/folder_tree_win.h"
#include "platform/run_command_win.h"

namespace tidemoor {

WindowsBackupHost::WindowsBackupHost(BackupHostWiring wiring)
    : WindowsBackupHost(std::move(wiring), std::make_shared<WindowsBackupFiles>()) {}

WindowsBackupHost::WindowsBackupHost(BackupHostWiring wiring, std::shared_ptr<BackupFiles> files)
    : wiring_(std::move(wiring)), files_(std::move(files)) {}

void WindowsBackupHost::RunInBackground(std::function<void()> work, std::function<void()> done) {
  worker_.Run(std::move(work), std::move(done));
}

bool WindowsBackupHost::ServerRunning() {
  return wiring_.serverRunning && wiring_.serverRunning();
}

bool WindowsBackupHost::ServerSettled() {
  return !wiring_.serverSettled || wiring_.serverSettled();
}

// The worker is free meanwhile: one backup operation runs at a time, and this is its wait.
void WindowsBackupHost::AfterAWhile(std::function<void()> then) {
  constexpr DWORD kPauseMilliseconds = 250;
  worker_.Run([] { ::Sleep(kPauseMilliseconds); }, std::move(then));
}

void WindowsBackupHost::SaveWorldFirst(std::function<void()> then) {
  if (wiring_.saveWorld) {
    wiring_.saveWorld(std::move(then));
  } else {
    then();
  }
}

void WindowsBackupHost::StopServer(std::function<void(bool)> done) {
  wiring_.stopServer(std::move(done));
}

// The pauses between attempts are the worker's, which has nothing else to do meanwhile: one
// backup operation runs at a time, and this is its step.
void WindowsBackupHost::MoveDirectory(const std::string& from, const std::string& to,
                                      std::function<void(bool)> done) {
  worker_.Run<bool>(
      [from, to] {
        // A server just killed lets go of its files a moment after it is gone.
        constexpr int kAttempts = 10;
        constexpr DWORD kPauseMilliseconds = 200;
        for (int attempt = 1;; ++attempt) {
          const Outcome moved = tidemoor::MoveDirectory(from, to);
          if (moved) return true;
          const DWORD error = moved.Error().code;
          if (attempt == kAttempts ||
              (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION)) {
            return false;
          }
          ::Sleep(kPauseMilliseconds);
        }
      },
      std::move(done));
}

void WindowsBackupHost::RevealInExplorer(const std::string& path) {
  tidemoor::RevealInExplorer(path);
}

bool WindowsBackupHost::Closing() {
  return wiring_.closing && wiring_.closing();
}

}  // namespace tidemoor
