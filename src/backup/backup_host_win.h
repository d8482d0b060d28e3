#pragma once
// The backup operations' view of the machine, on Windows.

#include <functional>

#include "backup/backup_operations.h"

namespace tidemoor {

class WindowsBackupHost : public BackupHost {
 public:
  // stopServer: how the server is stopped (false when the tool began to close meanwhile).
  explicit WindowsBackupHost(std::function<bool()> stopServer)
      : stopServer_(std::move(stopServer)) {}

  bool DirectoryExists(const std::string& path) override;
  void EnsureDirectory(const std::string& path) override;
  bool CopyFolderTree(const std::string& source, const std::string& destination) override;
  bool DeleteDirectoryTree(const std::string& path) override;
  bool MoveDirectory(const std::string& from, const std::string& to) override;
  bool WriteIndexTime(const std::string& indexFile, const std::string& timeText) override;
  LocalDateTime Now() override;
  bool StopServer() override;
  void RevealInExplorer(const std::string& path) override;

 private:
  std::function<bool()> stopServer_;
};

}  // namespace tidemoor
