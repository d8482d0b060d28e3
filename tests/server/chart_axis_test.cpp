#include "server/chart_axis.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/date_time.h"

namespace tidemoor {
namespace {

constexpr int64_t kBeijing = 8 * 3600;
// 2026-12-09 00:00:00 in Beijing, as seconds since 1970 UTC.
const int64_t kMidnight = DaysFromCivil(2026, 12, 9) * kDaySeconds - kBeijing;

// The ticks are evenly spaced: the first at `first` of the span, then every `step`.
TEST(ChartAxis, TicksFallOnTheLocalClocksHoursAndMidnights) {
  const int64_t hour = 3600, west = DaysFromCivil(2026, 12, 9) * kDaySeconds;
  const struct {
    const char* what;
    int64_t from, to, offset;
    double first, step;
    std::string labels;
  } cases[] = {
      {"a day from 14:30: every three hours, both ends inside", kMidnight + 14 * hour + 1800,
       kMidnight + 38 * hour + 1800, kBeijing, 0.5 / 24, 3.0 / 24,
       "15:00 18:00 21:00 00:00 03:00 06:00 09:00 12:00 "},
      {"a tick on the start", kMidnight, kMidnight + 6 * hour, kBeijing, 0, 0.5,
       "00:00 03:00 06:00 "},
      {"a week: local midnights, across a month's end", kMidnight + 12 * hour + 22 * kDaySeconds,
       kMidnight + 12 * hour + 29 * kDaySeconds, kBeijing, 0.5 / 7, 1.0 / 7,
       "1月1日 1月2日 1月3日 1月4日 1月5日 1月6日 1月7日 "},
      {"west of Greenwich", west + 5 * hour, west + 11 * hour, -5 * hour, 0, 0.5,
       "00:00 03:00 06:00 "},
      {"no span", kMidnight, kMidnight, kBeijing, 0, 0, ""},
  };
  for (const auto& c : cases) {
    std::string labels;
    const std::vector<ChartTick> ticks = ChartTicks(c.from, c.to, c.offset);
    for (size_t i = 0; i < ticks.size(); ++i) {
      EXPECT_NEAR(ticks[i].x, c.first + double(i) * c.step, 1e-9) << c.what << " " << i;
      labels += ticks[i].label + " ";
    }
    EXPECT_EQ(labels, c.labels) << c.what;
  }
}

TEST(ChartAxis, ThePointersLineTellsTheLocalTimeAndTheThreeValues) {
  const uint64_t gb = uint64_t(1) << 30;
  const struct {
    MetricsSample sample;
    int64_t offset;
    const char* text;
  } cases[] = {
      {{kMidnight + 13 * 3600 + 5 * 60 + 59, 3, 58, 9 * gb + 4 * gb / 10},
       kBeijing,
       "12月9日 13:05  ·  在线 3  ·  FPS 58  ·  内存 9.4 GB"},
      {{kMidnight - 60, 0, 0, 0}, kBeijing, "12月8日 23:59  ·  在线 0  ·  FPS 0  ·  内存 0 MB"},
      {{0, 1, 60, 512 * 1024 * 1024}, 0, "1月1日 00:00  ·  在线 1  ·  FPS 60  ·  内存 512 MB"},
      {{-1, 1, 60, gb}, 0, "12月31日 23:59  ·  在线 1  ·  FPS 60  ·  内存 1.0 GB"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(ChartPointerText(c.sample, c.offset), c.text);
  }
}

}  // namespace
}  // namespace tidemoor
