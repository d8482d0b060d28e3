#include "server/metrics_chart.h"

#include <gtest/gtest.h>

#include <vector>

namespace tidemoor {
namespace {

using M = ChartMeasure;
constexpr int64_t kGap = kChartGapSeconds;

MetricsSample At(int64_t time, int players) {
  return {time, players, 60, uint64_t(3) << 30};
}

TEST(MetricsChart, ScalesLinesAndBreaksThemAtStops) {
  const struct {
    const char* what;
    std::vector<MetricsSample> samples;
    ChartMeasure measure;
    double top;
    std::vector<std::vector<ChartPoint>> lines;
  } cases[] = {
      {"empty: the least top", {}, M::Players, 5, {}},
      {"empty FPS", {}, M::Fps, 10, {}},
      {"one sample, a dot", {At(600, 2)}, M::Players, 5, {{{0.5, 0.4}}}},
      {"memory in GB of 1024³ bytes", {At(0, 1)}, M::MemoryGb, 5, {{{0, 0.6}}}},
      {"top 1, 2 or 5 × 10", {At(0, 11), At(60, 3)}, M::Players, 20, {{{0, 0.55}, {0.05, 0.15}}}},
      {"a stop between two runs",
       {At(0, 1), At(60, 2), At(61 + kGap, 4), At(301, 5)},
       M::Players,
       5,
       {{{0, 0.2}, {0.05, 0.4}}, {{241.0 / 1200, 0.8}, {301.0 / 1200, 1}}}},
      {"3 minutes: no stop", {At(0, 1), At(kGap, 1)}, M::Players, 5, {{{0, 0.2}, {0.15, 0.2}}}},
      {"outside the span", {At(-60, 40), At(1260, 40), At(300, 1)}, M::Players, 5, {{{0.25, 0.2}}}},
      {"clock set back", {At(120, 1), At(60, 1)}, M::Players, 5, {{{0.1, 0.2}}, {{0.05, 0.2}}}},
  };
  for (const auto& c : cases) {
    const ChartScale scale = ScaleChart(c.samples, c.measure, 0, 1200);
    EXPECT_EQ(scale.top, c.top) << c.what;
    EXPECT_EQ(scale.lines, c.lines) << c.what;
  }
}

TEST(MetricsChart, PointerFindsTheNearestSampleButNoneOverAStop) {
  const std::vector<MetricsSample> samples = {At(0, 1), At(60, 2), At(600, 3)};
  const struct {
    int64_t time;
    int players;  // 0: none
  } cases[] = {{0, 1},   {29, 1},  {31, 2},  {150, 2}, {151, 0},
               {509, 0}, {510, 3}, {690, 3}, {691, 0}, {-91, 0}};
  for (const auto& c : cases) {
    const MetricsSample* sample = SampleAt(samples, c.time);
    EXPECT_EQ(sample ? sample->players : 0, c.players) << c.time;
  }
}

}  // namespace
}  // namespace tidemoor
