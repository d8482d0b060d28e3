#pragma once
// The backup engine's disk on Windows: long paths through the \\?\ form, names in any script
// (UTF-16 at every call), directories read with large fetches, files copied by our own loop
// (contents, times and attributes, the source free to be deleted meanwhile) and shared with
// CreateHardLinkW. Holds no state, so the worker thread and the user-interface thread may use it
// at once.

#include "backup/backup_files.h"

namespace tidemoor {

class WindowsBackupFiles : public BackupFiles {
 public:
  bool Exists(const std::string& path) override;
  Outcome ListDirectory(const std::string& path, std::vector<DirectoryEntry>& entries) override;
  std::optional<std::string> FolderIdentity(const std::string& path) override;
  Outcome EnsureDirectory(const std::string& path) override;
  Outcome MakeDirectory(const std::string& path, const std::string& model) override;
  Outcome CopyOneFile(const std::string& from, const std::string& to) override;
  bool LinkFile(const std::string& existing, const std::string& link) override;
  Outcome DeleteTree(const std::string& path) override;
  Outcome Rename(const std::string& from, const std::string& to) override;
  std::optional<uint64_t> FreeBytes(const std::string& path) override;
  Outcome WriteIndex(const std::string& file, const PointIndex& index) override;
  PointIndex ReadIndex(const std::string& file) override;
  Outcome WriteTextFile(const std::string& file, const std::string& text) override;
  std::optional<std::string> ReadTextFile(const std::string& file) override;
  void DeleteOneFile(const std::string& file) override;
  LocalDateTime Now() override;
  int64_t MonotonicMilliseconds() override;
};

}  // namespace tidemoor
