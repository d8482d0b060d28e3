// The window's thread's share of the 运行曲线: the three charts of a week (7 × 1440 samples, a mark
// a day) drawn with GDI into a buffer the size of the window at 96 and 144 DPI, as each paint does.

#include <windows.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "platform/unique_handle_win.h"
#include "platform/window_win.h"
#include "server/metrics_chart_drawing_win.h"

int wmain() {
  using namespace tidemoor;
  using Clock = std::chrono::steady_clock;
  constexpr int64_t kNow = 1'797'000'000;
  constexpr int64_t kWeek = 7 * 24 * 60 * 60;
  std::vector<MetricsSample> samples;
  for (int minute = 7 * 1440; minute > 0; --minute) {
    samples.push_back({kNow - minute * 60, minute % 32, 55 + minute % 6, uint64_t(6) << 30});
  }
  std::vector<ChartMark> marks;
  for (int day = 1; day <= 7; ++day) {
    marks.push_back({kNow - day * 86400, static_cast<ChartMarkKind>(day % 3)});
  }
  const ChartContent content{&samples, &marks, kNow - kWeek, kNow, 8 * 3600};
  const HDC screen = ::GetDC(nullptr);
  for (const UINT dpi : {96u, 144u}) {
    const RECT client{0, 0, ScaleForDpi(764, dpi), ScaleForDpi(561, dpi)};
    const UniqueMemoryDc buffer(::CreateCompatibleDC(screen));
    const UniqueGdiObject bitmap(::CreateCompatibleBitmap(screen, client.right, client.bottom));
    const HGDIOBJ before = ::SelectObject(buffer.get(), bitmap.get());
    const UniqueGdiObject font = CreateUiFont(dpi);
    const ChartGeometry geometry = ChartGeometryFor(client, ScaleForDpi(42, dpi), dpi);
    std::vector<double> runs;
    for (int run = 0; run < 9; ++run) {
      const auto start = Clock::now();
      DrawCharts(buffer.get(), geometry, dpi, static_cast<HFONT>(font.get()), content);
      ::GdiFlush();
      runs.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count());
    }
    ::SelectObject(buffer.get(), before);
    std::sort(runs.begin(), runs.end());
    std::printf(
        "运行曲线, a week drawn at %u DPI: median %.1f ms (fastest %.1f, slowest %.1f) of 9\n", dpi,
        runs[runs.size() / 2], runs.front(), runs.back());
  }
  ::ReleaseDC(nullptr, screen);
  return 0;
}
