// Time from the files to the three charts of the 运行曲线 over a week: Metrics.tsv of 7 × 1440
// samples read and scaled for 在线人数, FPS and 内存, and a full event log read for its marks. The
// window reads on a worker and scales as it draws; the figure is the two together.

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/event_log.h"
#include "server/chart_marks.h"
#include "server/metrics_chart.h"
#include "server/server_metrics_log.h"

namespace {

using Clock = std::chrono::steady_clock;
using namespace tidemoor;

constexpr int64_t kNow = 1'797'000'000;
constexpr int64_t kWeek = 7 * 24 * 60 * 60;

std::string WeekOfSamples() {
  std::string text;
  for (int minute = 7 * 1440; minute > 0; --minute) {
    text += MetricsLine({kNow - minute * 60, minute % 32, 55 + minute % 6,
                         (uint64_t(6) << 30) + uint64_t(minute) * 4096});
  }
  return text;
}

// An event log at its limit, a stop, a crash and a restart among every hundred lines.
std::string FullEventLog() {
  std::string text;
  const char* events[] = {"已安全关闭服务端 (进程 42, 存档 120 ms, 关闭 900 ms)",
                          "服务端已退出 (进程 42): 崩溃或被外部结束", "定时重启服务端 (进程 42)"};
  for (int line = 0; text.size() < kEventLogLimitBytes; ++line) {
    const int day = 3 + line / 4000;
    const LocalDateTime when{2026,          12,       std::min(day, 28), line / 160 % 24,
                             line / 3 % 60, line % 60};
    text += EventLogLine(when, line % 100 < 3 ? events[line % 3] : "备份点已创建: 447 个文件");
  }
  return text;
}

}  // namespace

int main() {
  const std::string samplesText = WeekOfSamples();
  const std::string logText = FullEventLog();
  std::vector<double> runs;
  size_t points = 0, marks = 0;
  for (int run = 0; run < 9; ++run) {
    const auto start = Clock::now();
    const std::vector<MetricsSample> samples = ReadMetricsLog(samplesText);
    points = 0;
    for (const ChartMeasure measure :
         {ChartMeasure::Players, ChartMeasure::Fps, ChartMeasure::MemoryGb}) {
      for (const auto& line : ScaleChart(samples, measure, kNow - kWeek, kNow).lines) {
        points += line.size();
      }
    }
    marks = ChartMarksFromLog(logText, kNow - kWeek, kNow, 8 * 3600).size();
    const std::chrono::duration<double, std::milli> spent = Clock::now() - start;
    runs.push_back(spent.count());
  }
  std::sort(runs.begin(), runs.end());
  std::printf(
      "运行曲线, a week: Metrics.tsv of %zu bytes read and scaled (%zu points) and a %zu-byte "
      "event log read for its marks (%zu): median %.1f ms (fastest %.1f, slowest %.1f) of 9; "
      "target < 100 ms\n",
      samplesText.size(), points, logText.size(), marks, runs[runs.size() / 2], runs.front(),
      runs.back());
  return runs[runs.size() / 2] < 100 ? 0 : 1;
}
