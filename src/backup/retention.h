#pragma once
// How many automatic points the tool keeps. Manual points are the user's own and are never
// removed automatically.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "backup/backup_store.h"
#include "platform/date_time.h"

namespace tidemoor {

struct BackupRetention {
  int keepPoints = 0;  // the newest this many automatic points stay; 0 keeps them all
  int keepDays = 0;    // automatic points older than this many days go; 0 keeps them all

  bool operator==(const BackupRetention&) const = default;
};

// A count typed by the user (full-width digits allowed): no number, or a negative one, is 0,
// which keeps everything; a count no one would mean is held at a sane ceiling.
int RetentionCount(std::string_view text);

// A point as retention judges it: its name, its kind and when its copy was made (none when its
// index time cannot be read).
struct StoredPoint {
  std::string folderName;
  PointKind kind = PointKind::Manual;
  std::optional<LocalDateTime> made;
};

// The automatic points to remove, oldest first. Points are ordered by name, as the list shows
// them. A point whose time cannot be read is never too old; keep counts it all the same. The age
// rule spares the three newest automatic points, and does not run at all while the clock reads
// earlier than the newest point of any kind.
std::vector<std::string> ExpiredPoints(std::vector<StoredPoint> points,
                                       const BackupRetention& retention, const LocalDateTime& now);

}  // namespace tidemoor
