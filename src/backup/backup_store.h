#pragma once
// The backup store below the tool directory: one directory per backup point, holding a copy of
// the server's save data ("Saved") and the index file that says when the copy was made.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tidemoor {

inline constexpr char kBackupIndexFileName[] = "BackUP_Info.Dat";
inline constexpr char kBackupIndexSection[] = "INFO";
inline constexpr char kBackupIndexTimeKey[] = "Time";
inline constexpr char kBackupIndexKindKey[] = "Kind";
inline constexpr char kBackupSavedFolderName[] = "Saved";

// A point is being built, or taken apart, in a sibling directory of this name ending; such a
// directory is never a point, and one left behind by a tool that was killed is removed at the
// next start.
inline constexpr char kUnfinishedPointEnding[] = ".partial";

// Who made a point. Only automatic points are ever removed by the tool on its own; an index
// without a kind (made before kinds were recorded, or by hand) counts as a manual point. A
// restore first keeps the save it replaces as a point of its own, and so does a change of the
// server's mods; only the user removes those.
enum class PointKind { Manual, Automatic, BeforeRestore, BeforeMods };

// After the shown time of a point a restore or a mod change kept.
inline constexpr char kBeforeRestoreMark[] = " (还原前自动备份)";
inline constexpr char kBeforeModsMark[] = " (模组变更前自动备份)";

// The texts of the index's Kind key.
std::string_view PointKindText(PointKind kind);
PointKind PointKindFromText(std::string_view text);

// What a point's index file holds.
struct PointIndex {
  std::string time;  // the index form of the time the copy was made
  PointKind kind = PointKind::Manual;
};

// One backup point as the list shows it.
struct BackupPoint {
  std::string FolderName;   // the directory's name below the backup root
  std::string DisplayTime;  // the index time in the shown form

  bool operator==(const BackupPoint&) const = default;
};

bool IsUnfinishedPointName(std::string_view folderName);

// Backup root + folder name + "\".
std::string BackupPointDir(std::string_view toolDirectory, std::string_view folderName);

// A directory is a backup point only when its index holds a time. A time that cannot be read is
// shown as it stands, so the user still sees which point it is.
std::optional<BackupPoint> BackupPointFromIndex(std::string folderName, std::string_view indexTime,
                                                PointKind kind = PointKind::Manual);

// The points among the directories below the backup root, newest first. Unfinished points are
// left out without being read. The names are sorted before they are read: ten-digit stamps then
// ascend with time on every file system, not only on NTFS, which lists them that way by itself.
// afterEachDirectory runs after each name is read (the window lets its messages through there);
// when it answers false the listing stops and gives nothing.
using BackupPointReader = std::function<std::optional<BackupPoint>(const std::string& name)>;
std::vector<BackupPoint> ListBackupPoints(std::vector<std::string> folderNames,
                                          const BackupPointReader& readBackupPoint,
                                          const std::function<bool()>& afterEachDirectory = {});

}  // namespace tidemoor
