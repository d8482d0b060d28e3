#pragma once
// The 运行曲线's time axis as the host reads it, on their local clock: where the ticks go and what
// they say, and the line that tells the time and the three values under the pointer. Times are
// seconds since 1970 (UTC); localOffset is the local clock's lead over UTC, in seconds.

#include <cstdint>
#include <string>
#include <vector>

#include "server/server_metrics_log.h"

namespace tidemoor {

inline constexpr int64_t kDaySeconds = 24 * 60 * 60;

struct ChartTick {
  double x = 0;  // 0 at the span's start, 1 at its end
  std::string label;

  bool operator==(const ChartTick&) const = default;
};

// A day or less: every three hours on the hour ("15:00"); longer: every local midnight ("12月9日").
std::vector<ChartTick> ChartTicks(int64_t from, int64_t to, int64_t localOffset);

// "12月9日 13:05  ·  在线 3  ·  FPS 58  ·  内存 9.4 GB"
std::string ChartPointerText(const MetricsSample& sample, int64_t localOffset);

}  // namespace tidemoor
