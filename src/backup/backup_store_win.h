#pragma once
// The backup store on disk: the index files read and written in GBK through the profile
// functions, and the points below the backup root.

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "backup/backup_store.h"
#include "platform/system_error.h"
#include "backup/backup_time.h"

namespace tidemoor {

// Writes a new index file with its Time and then its Kind, as one file that appears whole; fails
// (and leaves nothing behind) when it could not be written.
Outcome WriteBackupIndex(std::string_view indexFile, const PointIndex& index);

// The index's Time and Kind from one reading of the file; an empty time when it has none.
PointIndex ReadBackupIndex(std::string_view indexFile);

// The point in the directory, when its index holds a "Time" (a missing file, section or key
// gives none).
std::optional<BackupPoint> ReadBackupPoint(std::string_view toolDirectory,
                                           std::string_view folderName);

// The newest point below the backup root, reading only as many indexes as it takes.
std::optional<BackupPoint> NewestBackupPoint(std::string_view toolDirectory);

// The points below the backup root, newest first; see the portable ListBackupPoints.
std::vector<BackupPoint> ListBackupPoints(std::string_view toolDirectory,
                                          const std::function<bool()>& afterEachDirectory = {});

}  // namespace tidemoor
