#pragma once
// Making a backup point from start to end, as one piece of work that may run on a worker thread:
// the live save is walked, files unchanged since the newest complete point are shared with it,
// the disk is checked, and the copy is built in "<stamp>.partial" and renamed to "<stamp>" only
// once every file and the index are in place. Whatever happens, no half point is ever listed.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "backup/backup_files.h"
#include "backup/retention.h"
#include "backup/tree_copy.h"

namespace tidemoor {

// Room a point must leave free on its volume, beyond what it copies: the server, the system and
// the next save still need to write.
inline constexpr uint64_t kSpareDiskBytes = uint64_t{1} << 30;

struct PointRequest {
  std::string toolDirectory;  // no trailing backslash
  std::string saveDataDir;    // the live save, no trailing backslash
  PointKind kind = PointKind::Manual;
  BackupRetention retention;  // applied once the point is made
};

// NoWorld: the save holds no Level.sav, so the point would hold no world to go back to.
enum class PointOutcome { Made, CopyFailed, IndexFailed, NoRoom, Stopped, NoWorld };

struct PointReport {
  PointOutcome outcome = PointOutcome::CopyFailed;
  std::string folderName;  // the new point, once made
  int copiedFiles = 0;
  int sharedFiles = 0;
  uint64_t bytesCopied = 0;
  int64_t milliseconds = 0;
  std::string failedPath;                  // what could not be read or written
  SystemError error;                       //   and why; also why the index was not written
  uint64_t bytesNeeded = 0;                // NoRoom: the estimate and the spare room
  uint64_t bytesFree = 0;                  //   and what the volume had
  std::vector<std::string> skippedLinks;   // relative to the live save; the point lacks them
  std::vector<std::string> expiredPoints;  // removed by retention
  std::vector<std::string> stuckPoints;    // retention could not remove them (files held open)
  std::vector<SystemError> stuckCauses;    //   and why, one for each
};

// Whether a copy of that many new bytes fits on a volume with that much free; an unknown free
// space does not stop a point.
bool RoomForPoint(uint64_t bytesToCopy, std::optional<uint64_t> freeBytes);

// The newest point that is complete (its index holds a time), or none. Its files are the ones a
// new point shares.
std::optional<std::string> NewestCompletePoint(BackupFiles& files,
                                               const std::string& toolDirectory);

// The links of a save that are read through: the save's folder of worlds and the folders on the
// way down to each world (SaveGames, SaveGames\<id>, SaveGames\<id>\<world>).
bool OnTheWayToTheWorld(std::string_view relative);

// A save without any Level.sav gives no point, but for the point a restore keeps of the save it
// replaces: that one is a faithful copy of whatever the save held.
PointReport MakeBackupPoint(BackupFiles& files, const PointRequest& request,
                            const FileProgress& progress);

// Removes a point as a whole: it is first renamed to an unfinished name, so a tool killed in the
// middle leaves nothing listed and the rest goes at the next start. Fails unless the point is gone.
Outcome DeleteWholePoint(BackupFiles& files, const std::string& toolDirectory,
                         const std::string& folderName);

// Removes the unfinished points a killed tool left below the backup root; returns their names.
std::vector<std::string> RemoveUnfinishedPoints(BackupFiles& files,
                                                const std::string& toolDirectory);

// A full copy of source into destination, which must not exist yet (a restore).
CopyResult CopyWholeTree(BackupFiles& files, const std::string& source,
                         const std::string& destination, const FileProgress& progress);

}  // namespace tidemoor
