#pragma once
// The backup operations' view of the machine, on Windows.

#include <windows.h>

#include <functional>

#include "backup/backup_operations.h"

namespace tidemoor {

class WindowsBackupHost : public BackupHost {
 public:
  // owner: the window whose message boxes these are; stopServer: how the server is stopped.
  WindowsBackupHost(HWND owner, std::function<bool()> stopServer)
      : owner_(owner), stopServer_(std::move(stopServer)) {}

  bool DirectoryExists(const std::string& path) override;
  void EnsureDirectory(const std::string& path) override;
  bool CopyFolderTree(const std::string& source, const std::string& destination) override;
  bool DeleteDirectoryTree(const std::string& path) override;
  bool MoveDirectory(const std::string& from, const std::string& to) override;
  bool WriteIndexTime(const std::string& indexFile, const std::string& timeText) override;
  LocalDateTime Now() override;
  bool StopServer() override;
  bool RunCommandLine(const std::string& commandLine) override;
  bool ShowMessage(std::string_view text, std::string_view title, MessageStyle style) override;

 private:
  HWND owner_;
  std::function<bool()> stopServer_;
};

}  // namespace tidemoor
