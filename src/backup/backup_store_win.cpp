#include "backup/backup_store_win.h"

#include <windows.h>

#include "common/server_paths.h"
#include "platform/directory_listing_win.h"
#include "platform/profile_win.h"

namespace tidemoor {

bool WriteIndexTime(std::string_view indexFile, std::string_view timeText) {
  return WriteProfileText(indexFile, kBackupIndexSection, kBackupIndexTimeKey, timeText);
}

std::optional<BackupPoint> ReadBackupPoint(std::string_view toolDirectory,
                                           std::string_view folderName) {
  const std::string indexTime =
      ReadProfileText(BackupPointDir(toolDirectory, folderName) + kBackupIndexFileName,
                      kBackupIndexSection, kBackupIndexTimeKey, "");
  return BackupPointFromIndex(std::string(folderName), indexTime);
}

std::vector<BackupPoint> ListBackupPoints(std::string_view toolDirectory,
                                          const std::function<bool()>& afterEachDirectory) {
  std::vector<std::string> names;
  ListDirectories(BackupRoot(toolDirectory), names, false, false);
  return ListBackupPoints(
      std::move(names),
      [&](const std::string& name) { return ReadBackupPoint(toolDirectory, name); },
      afterEachDirectory);
}

}  // namespace tidemoor
