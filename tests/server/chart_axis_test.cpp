#include "server/chart_axis.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/date_time.h"

namespace tidemoor {
namespace {

constexpr int64_t kBeijing = 8 * 3600;
// 2026-12-09 00:00:00 in Beijing, as seconds since 1970 UTC.
const int64_t kMidnight = DaysFromCivil(2026, 12, 9) * kDaySeconds - kBeijing;

TEST(ChartAxis, TicksFallOnTheLocalClocksHoursAndMidnights) {
  const int64_t hour = 3600;
  const struct {
    const char* what;
    int64_t from, to, offset;
    std::vector<ChartTick> ticks;
  } cases[] = {
      {"a day from 14:30: every three hours, both ends inside", kMidnight + 14 * hour + 1800,
       kMidnight + 38 * hour + 1800, kBeijing,
       std::vector<ChartTick>{{0.5 / 24, "15:00"},
                              {3.5 / 24, "18:00"},
                              {6.5 / 24, "21:00"},
                              {9.5 / 24, "00:00"},
                              {12.5 / 24, "03:00"},
                              {15.5 / 24, "06:00"},
                              {18.5 / 24, "09:00"},
                              {21.5 / 24, "12:00"}}},
      {"a tick on the start", kMidnight, kMidnight + 6 * hour, kBeijing,
       std::vector<ChartTick>{{0, "00:00"}, {0.5, "03:00"}, {1, "06:00"}}},
      {"a week: local midnights, across a month's end", kMidnight + 12 * hour + 22 * kDaySeconds,
       kMidnight + 12 * hour + 29 * kDaySeconds, kBeijing,
       std::vector<ChartTick>{{0.5 / 7, "1月1日"},
                              {1.5 / 7, "1月2日"},
                              {2.5 / 7, "1月3日"},
                              {3.5 / 7, "1月4日"},
                              {4.5 / 7, "1月5日"},
                              {5.5 / 7, "1月6日"},
                              {6.5 / 7, "1月7日"}}},
      {"west of Greenwich", DaysFromCivil(2026, 12, 9) * kDaySeconds + 5 * hour,
       DaysFromCivil(2026, 12, 9) * kDaySeconds + 11 * hour, -5 * hour,
       std::vector<ChartTick>{{0, "00:00"}, {0.5, "03:00"}, {1, "06:00"}}},
      {"no span", kMidnight, kMidnight, kBeijing, {}},
  };
  for (const auto& c : cases) {
    const std::vector<ChartTick> ticks = ChartTicks(c.from, c.to, c.offset);
    ASSERT_EQ(ticks.size(), c.ticks.size()) << c.what;
    for (size_t i = 0; i < ticks.size(); ++i) {
      EXPECT_NEAR(ticks[i].x, c.ticks[i].x, 1e-9) << c.what << " " << i;
      EXPECT_EQ(ticks[i].label, c.ticks[i].label) << c.what << " " << i;
    }
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
