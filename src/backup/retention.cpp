#include "backup/retention.h"

#include <algorithm>

#include "backup/backup_time.h"
#include "platform/text.h"

namespace tidemoor {
namespace {

// Beyond a hundred years of daily points either count means "keep everything" anyway.
constexpr int kLargestCount = 36500;

}  // namespace

int RetentionCount(std::string_view text) {
  return std::clamp(TextToNumber(text), 0, kLargestCount);
}

std::vector<std::string> ExpiredPoints(std::vector<StoredPoint> points,
                                       const BackupRetention& retention, const LocalDateTime& now) {
  std::erase_if(points, [](const StoredPoint& p) { return p.kind != PointKind::Automatic; });
  std::sort(points.begin(), points.end(),
            [](const StoredPoint& a, const StoredPoint& b) { return a.folderName < b.folderName; });
  const size_t beyondKept =
      retention.keepPoints > 0 && points.size() > static_cast<size_t>(retention.keepPoints)
          ? points.size() - static_cast<size_t>(retention.keepPoints)
          : 0;
  const int64_t oldestKept = LocalSeconds(now) - int64_t{retention.keepDays} * 86400;
  std::vector<std::string> expired;
  for (size_t i = 0; i < points.size(); ++i) {
    const bool tooOld =
        retention.keepDays > 0 && points[i].made && LocalSeconds(*points[i].made) < oldestKept;
    if (i < beyondKept || tooOld) expired.push_back(points[i].folderName);
  }
  return expired;
}

}  // namespace tidemoor
