#include "backup/retention.h"

#include <algorithm>

#include "backup/backup_time.h"
#include "platform/text.h"

namespace tidemoor {
namespace {

// Beyond a hundred years of daily points either count means "keep everything" anyway.
constexpr int kLargestCount = 36500;
// However far the clock was off when they were made, this many automatic points outlive the age
// rule: a host never wakes up to a backup store emptied by a wrong date.
constexpr size_t kAlwaysKeptByAge = 3;

// A clock earlier than the newest point has been set back, or the point was made while it ran
// ahead: ages measured against it mean nothing.
bool ClockTrusted(const std::vector<StoredPoint>& points, const LocalDateTime& now) {
  const int64_t current = LocalSeconds(now);
  return std::none_of(points.begin(), points.end(), [&](const StoredPoint& p) {
    return p.made && LocalSeconds(*p.made) > current;
  });
}

}  // namespace

int RetentionCount(std::string_view text) {
  return std::clamp(TextToNumber(text), 0, kLargestCount);
}

std::vector<std::string> ExpiredPoints(std::vector<StoredPoint> points,
                                       const BackupRetention& retention, const LocalDateTime& now) {
  const bool byAge = retention.keepDays > 0 && ClockTrusted(points, now);
  std::erase_if(points, [](const StoredPoint& p) { return p.kind != PointKind::Automatic; });
  std::sort(points.begin(), points.end(),
            [](const StoredPoint& a, const StoredPoint& b) { return a.folderName < b.folderName; });
  const size_t beyondKept =
      retention.keepPoints > 0 && points.size() > static_cast<size_t>(retention.keepPoints)
          ? points.size() - static_cast<size_t>(retention.keepPoints)
          : 0;
  const int64_t oldestKept = LocalSeconds(now) - int64_t{retention.keepDays} * 86400;
  const size_t ageableCount =
      points.size() > kAlwaysKeptByAge ? points.size() - kAlwaysKeptByAge : 0;
  std::vector<std::string> expired;
  for (size_t i = 0; i < points.size(); ++i) {
    const bool tooOld =
        byAge && i < ageableCount && points[i].made && LocalSeconds(*points[i].made) < oldestKept;
    if (i < beyondKept || tooOld) expired.push_back(points[i].folderName);
  }
  return expired;
}

}  // namespace tidemoor
