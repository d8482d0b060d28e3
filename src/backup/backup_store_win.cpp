#include "backup/backup_store_win.h"

#include <windows.h>

#include <algorithm>
#include <functional>

#include "common/server_paths.h"
#include "platform/codepage_win.h"
#include "platform/directory_listing_win.h"
#include "platform/ini_text.h"
#include "platform/profile_win.h"
#include "platform/whole_file_win.h"

namespace tidemoor {

Outcome WriteBackupIndex(std::string_view indexFile, const PointIndex& index) {
  std::string text = WriteIniValue("", kBackupIndexSection, kBackupIndexTimeKey, index.time);
  text = WriteIniValue(text, kBackupIndexSection, kBackupIndexKindKey, PointKindText(index.kind));
  return WriteNewWholeFile(indexFile, Utf8ToGbk(text));
}

PointIndex ReadBackupIndex(std::string_view indexFile) {
  const std::vector<std::string> values =
      ReadProfileTexts(indexFile, kBackupIndexSection, {kBackupIndexTimeKey, kBackupIndexKindKey});
  return {values[0], PointKindFromText(values[1])};
}

std::optional<BackupPoint> ReadBackupPoint(std::string_view toolDirectory,
                                           std::string_view folderName) {
  const PointIndex index =
      ReadBackupIndex(BackupPointDir(toolDirectory, folderName) + kBackupIndexFileName);
  return BackupPointFromIndex(std::string(folderName), index.time, index.kind);
}

std::optional<BackupPoint> NewestBackupPoint(std::string_view toolDirectory) {
  std::vector<std::string> names;
  ListDirectories(BackupRoot(toolDirectory), names, false, false);
  std::sort(names.begin(), names.end(), std::greater<>());
  for (const std::string& name : names) {
    if (IsUnfinishedPointName(name)) continue;
    if (std::optional<BackupPoint> point = ReadBackupPoint(toolDirectory, name)) return point;
  }
  return std::nullopt;
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
