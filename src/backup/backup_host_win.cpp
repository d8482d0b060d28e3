#include "backup/backup_host_win.h"

#include "backup/backup_store_win.h"
#include "backup/folder_tree_win.h"
#include "platform/date_time_win.h"
#include "platform/directories_win.h"
#include "platform/run_command_win.h"

namespace tidemoor {

bool WindowsBackupHost::DirectoryExists(const std::string& path) {
  return tidemoor::DirectoryExists(path);
}

void WindowsBackupHost::EnsureDirectory(const std::string& path) {
  tidemoor::EnsureDirectory(path);
}

bool WindowsBackupHost::CopyFolderTree(const std::string& source, const std::string& destination) {
  return tidemoor::CopyFolderTree(source, destination);
}

bool WindowsBackupHost::DeleteDirectoryTree(const std::string& path) {
  return tidemoor::DeleteDirectoryTree(path);
}

bool WindowsBackupHost::MoveDirectory(const std::string& from, const std::string& to) {
  // A server just killed lets go of its files a moment after it is gone.
  constexpr int kAttempts = 10;
  constexpr DWORD kPauseMilliseconds = 200;
  for (int attempt = 1;; ++attempt) {
    if (tidemoor::MoveDirectory(from, to)) return true;
    const DWORD error = ::GetLastError();
    if (attempt == kAttempts ||
        (error != ERROR_ACCESS_DENIED && error != ERROR_SHARING_VIOLATION)) {
      return false;
    }
    ::Sleep(kPauseMilliseconds);
  }
}

bool WindowsBackupHost::WriteIndexTime(const std::string& indexFile, const std::string& timeText) {
  return tidemoor::WriteIndexTime(indexFile, timeText);
}

LocalDateTime WindowsBackupHost::Now() {
  return LocalNow();
}

bool WindowsBackupHost::StopServer() {
  return stopServer_();
}

void WindowsBackupHost::RevealInExplorer(const std::string& path) {
  tidemoor::RevealInExplorer(path);
}

}  // namespace tidemoor
