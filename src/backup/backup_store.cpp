#include "backup/backup_store.h"

#include <algorithm>

#include "backup/backup_time.h"
#include "common/server_paths.h"
#include "platform/text.h"

namespace tidemoor {

std::string_view PointKindText(PointKind kind) {
  switch (kind) {
    case PointKind::Automatic:
      return "Auto";
    case PointKind::BeforeRestore:
      return "BeforeRestore";
    case PointKind::BeforeMods:
      return "BeforeMods";
    case PointKind::Manual:
      break;
  }
  return "Manual";
}

// Only the exact word the tool writes makes a point automatic: a point the tool may delete on its
// own must say so plainly.
PointKind PointKindFromText(std::string_view text) {
  for (const PointKind kind :
       {PointKind::Automatic, PointKind::BeforeRestore, PointKind::BeforeMods}) {
    if (EqualsIgnoringCase(text, PointKindText(kind))) return kind;
  }
  return PointKind::Manual;
}

bool IsUnfinishedPointName(std::string_view folderName) {
  constexpr std::string_view ending = kUnfinishedPointEnding;
  return folderName.size() >= ending.size() &&
         EqualsIgnoringCase(folderName.substr(folderName.size() - ending.size()), ending);
}

std::string BackupPointDir(std::string_view toolDirectory, std::string_view folderName) {
  return BackupRoot(toolDirectory) + std::string(folderName) + "\\";
}

std::optional<BackupPoint> BackupPointFromIndex(std::string folderName, std::string_view indexTime,
                                                PointKind kind) {
  if (indexTime.empty()) return std::nullopt;
  const std::optional<LocalDateTime> time = TextToDateTime(indexTime);
  std::string shown = time ? DisplayTimeText(*time) : std::string(indexTime);
  if (kind == PointKind::BeforeRestore) shown += kBeforeRestoreMark;
  if (kind == PointKind::BeforeMods) shown += kBeforeModsMark;
  return BackupPoint{std::move(folderName), std::move(shown)};
}

std::vector<BackupPoint> ListBackupPoints(std::vector<std::string> folderNames,
                                          const BackupPointReader& readBackupPoint,
                                          const std::function<bool()>& afterEachDirectory) {
  std::sort(folderNames.begin(), folderNames.end());
  std::vector<BackupPoint> points;
  for (const std::string& name : folderNames) {
    if (IsUnfinishedPointName(name)) continue;
    if (auto point = readBackupPoint(name)) points.push_back(std::move(*point));
    if (afterEachDirectory && !afterEachDirectory()) return {};
  }
  std::reverse(points.begin(), points.end());
  return points;
}

}  // namespace tidemoor
