// The server's week: the 运行曲线 window over a week of samples and a crash in the event log, the
// main window answering while it opens, and the samples a running server adds to Metrics.tsv.

#include <chrono>
#include <string>

#include "e2e/lifecycle_rig.h"
#include "platform/date_time.h"
#include "platform/event_log.h"
#include "server/metrics_window_win.h"
#include "server/server_metrics_log.h"
#include "support/caption_pixels_win.h"

namespace tidemoor::testing {
namespace {

constexpr char kMetrics[] = "PaLWorld_Data\\Metrics.tsv";
constexpr uint64_t kSixGb = uint64_t(6) << 30;
constexpr int kWeekOfMinutes = 7 * 1440;
// The colours the charts draw the players' line and a crash's mark in, as the screen shows them.
constexpr uint32_t kPlayersInk = 0x1F77B4;
constexpr uint32_t kCrashInk = 0xD62728;

// The event log's line for an event that happened seconds ago, on the local clock.
std::string LoggedSecondsAgo(int64_t seconds, std::string_view text) {
  FILETIME utc{}, local{};
  ::GetSystemTimeAsFileTime(&utc);
  ULARGE_INTEGER ticks{{utc.dwLowDateTime, utc.dwHighDateTime}};
  ticks.QuadPart -= static_cast<uint64_t>(seconds) * 10'000'000;
  utc = {ticks.LowPart, ticks.HighPart};
  ::FileTimeToLocalFileTime(&utc, &local);
  SYSTEMTIME clock{};
  ::FileTimeToSystemTime(&local, &clock);
  return EventLogLine(
      {clock.wYear, clock.wMonth, clock.wDay, clock.wHour, clock.wMinute, clock.wSecond, 0}, text);
}

int PixelsOf(HWND window, uint32_t colour) {
  const ScreenShot shot(window);
  int count = 0;
  for (int y = 0; y < shot.Height(); ++y) {
    for (int x = 0; x < shot.Width(); ++x) count += shot.At(x, y) == colour;
  }
  return count;
}

class MetricsChart : public LifecycleRig {};

TEST_F(MetricsChart, AWeekIsChartedWithoutHoldingTheMainWindowAndARunningServerAddsItsMinutes) {
  Prepare({.apiPort = 18262});
  const int64_t now = SecondsSince1970();
  std::string week;
  for (int minute = kWeekOfMinutes; minute > 0; --minute) {
    week += MetricsLine({now - minute * 60, minute % 12, 60, kSixGb});
  }
  directory.WriteBytes(kMetrics, week);
  directory.WriteBytes("PaLWorld_Data\\Tidemoor.log",
                       LoggedSecondsAgo(2 * 86400, "服务端已退出 (进程 7): 崩溃或被外部结束"));
  const HWND window = OpenTool("metrics-sample-ms=1000");
  ASSERT_NE(window, nullptr);

  PressLabel(window, Id(MainControl::MetricsLabel));
  DWORD_PTR answer = 0;
  EXPECT_NE(::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 5000, &answer), 0);
  const HWND chart = WaitForWindowOfProcess(tool->Id(), kMetricsWindowTitle);
  ASSERT_NE(chart, nullptr);
  EXPECT_TRUE(WaitUntil([&] { return PixelsOf(chart, kPlayersInk) > 200; }));
  EXPECT_GT(PixelsOf(chart, kCrashInk), 10);

  // The pointer over the middle of the charts tells the sample of that minute; over the row of
  // buttons, nothing.
  RECT client{};
  ::GetClientRect(chart, &client);
  const int line = static_cast<int>(MetricsControl::PointerLine);
  ::PostMessageW(chart, WM_MOUSEMOVE, 0, MAKELPARAM(client.right / 2, client.bottom / 2));
  EXPECT_TRUE(WaitUntil([&] {
    return ControlText(chart, line).find("FPS 60  ·  内存 6.0 GB") != std::string::npos;
  }));
  ::PostMessageW(chart, WM_MOUSEMOVE, 0, MAKELPARAM(client.right / 2, 2));
  EXPECT_TRUE(WaitUntil([&] { return ControlText(chart, line).empty(); }));

  // 24 小时 shows a day of the same samples: the line is drawn again, longer.
  const int weekInk = PixelsOf(chart, kPlayersInk);
  ClickControl(chart, static_cast<int>(MetricsControl::DayButton));
  EXPECT_TRUE(WaitUntil([&] { return PixelsOf(chart, kPlayersInk) != weekInk; }));

  // Running, the server's minutes (here seconds) follow the week in the file, with the players
  // and FPS its API answered once the live status has asked.
  StartAndWaitForTheApi(window);
  EXPECT_TRUE(WaitUntil(
      [&] {
        const std::vector<MetricsSample> samples = ReadMetricsLog(directory.ReadBytes(kMetrics));
        return samples.size() > static_cast<size_t>(kWeekOfMinutes) &&
               samples.back().players == 2 && samples.back().fps == 58 &&
               samples.back().memoryBytes > 0;
      },
      std::chrono::seconds(40)));
  const std::vector<MetricsSample> kept = ReadMetricsLog(directory.ReadBytes(kMetrics));
  ASSERT_GT(kept.size(), static_cast<size_t>(kWeekOfMinutes));
  EXPECT_EQ(kept.front().time, now - kWeekOfMinutes * 60);
  StopWithYes(window);
  EXPECT_TRUE(WaitUntil([&] { return ShowsStopped(window); }, std::chrono::seconds(30)));
}

}  // namespace
}  // namespace tidemoor::testing
