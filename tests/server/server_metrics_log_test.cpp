#include "server/server_metrics_log.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tidemoor {
namespace {

constexpr int64_t kNow = 1'700'000'000;

TEST(MetricsLog, LinesReadBackAndBrokenOnesSkipped) {
  const MetricsSample sample{kNow, 3, 58, 9'400'000'000};
  EXPECT_EQ(MetricsLine(sample), "1700000000\t3\t58\t9400000000\r\n");
  const struct {
    std::string text;
    std::vector<MetricsSample> samples;
  } cases[] = {
      {MetricsLine(sample) + MetricsLine(sample), {sample, sample}},
      {"\xEF\xBB\xBF" + MetricsLine(sample) + "1700000060\t3\t5", {sample}},
      {"x\t1\t2\t3\n1\t2\t3\t4\t5\n1\t\t3\t4\n1 \t2\t3\t4\n\n1\t2\t3\t4\n", {{1, 2, 3, 4}}},
  };
  for (const auto& c : cases) EXPECT_EQ(ReadMetricsLog(c.text), c.samples) << c.text;
}

TEST(MetricsLog, RewritesAtMostOnceAnHourAndNeverPassesTheCap) {
  const struct {
    const char* what;
    std::optional<int64_t> lastRewrite;
    size_t fileBytes;
    MetricsWrite write;
  } cases[] = {
      {"first sample of a run", std::nullopt, 100, MetricsWrite::Rewrite},
      {"within the hour", kNow - 3599, 100, MetricsWrite::Append},
      {"the hour over", kNow - 3600, 100, MetricsWrite::Rewrite},
      {"the clock set back", kNow + 60, 100, MetricsWrite::Rewrite},
      {"up to the cap", kNow - 60, kMetricsFileCap - 30, MetricsWrite::Append},
      {"beyond the cap within the hour", kNow - 60, kMetricsFileCap - 29, MetricsWrite::Skip},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NextMetricsWrite(kNow, c.lastRewrite, c.fileBytes, 30), c.write) << c.what;
  }
}

TEST(MetricsLog, KeepsEightDaysWithinTheCap) {
  const std::string old = MetricsLine({kNow - kMetricsKeptSeconds - 1, 1, 60, 1});
  const std::string edge = MetricsLine({kNow - kMetricsKeptSeconds, 2, 60, 1});
  const std::string recent = MetricsLine({kNow - 60, 3, 60, 1});
  EXPECT_EQ(MetricsKept(old + "broken\r\n" + edge + recent, kNow), edge + recent);
  EXPECT_EQ(MetricsKept("", kNow), "");

  std::string big;
  const size_t lines = kMetricsFileCap / recent.size() + 10;
  for (size_t i = 0; i < lines; ++i) big += MetricsLine({kNow - int64_t(lines - i), 4, 60, i});
  const std::string kept = MetricsKept(big, kNow);
  EXPECT_LE(kept.size() + kMetricsRewriteRoom, kMetricsFileCap);
  EXPECT_GT(kept.size() + kMetricsRewriteRoom + 64, kMetricsFileCap) << "only what must go";
  EXPECT_TRUE(big.ends_with(kept)) << "the newest lines stay";
}

}  // namespace
}  // namespace tidemoor
