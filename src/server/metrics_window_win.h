#pragma once
// The window 运行曲线: the server's last 24 hours or 7 days in three line charts over one time axis
// (在线人数, FPS, 内存 (GB)), its stops, crashes and restarts marked on the axis, and the time and
// the three values under the pointer in a line above them. Metrics.tsv and the event log are read
// on a worker as the window opens; the window's thread only draws, and draws again only when a
// sample arrives or the window changes.

#include <windows.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/prompt.h"
#include "platform/tool_window_win.h"
#include "platform/worker_win.h"
#include "server/chart_marks.h"
#include "server/metrics_chart_drawing_win.h"
#include "server/server_metrics_log.h"

namespace tidemoor {

inline constexpr char kMetricsWindowTitle[] = "运行曲线";

// Child-window ids, so the end-to-end driver finds them.
enum class MetricsControl : int {
  DayButton = 1401,  // 24 小时
  WeekButton,        // 7 天
  PointerLine,       // the time and the three values under the pointer
};

struct MetricsWindowSetup {
  HWND owner = nullptr;
  Prompt* prompt = nullptr;
  std::string metricsFile;  // PaLWorld_Data\Metrics.tsv
  std::string eventLog;     // PaLWorld_Data\Tidemoor.log (its older half beside it, .1)
};

// What the window shows, read from the files on the worker.
struct MetricsHistory {
  std::vector<MetricsSample> samples;
  std::vector<ChartMark> marks;  // of the last 7 days
};

class MetricsWindow : public ToolWindow<MetricsWindow> {
 public:
  static constexpr ToolWindowKind kKind{L"TidemoorMetrics", kMetricsWindowTitle, 780, 600};

  // Opens the window, or brings it forward when it is open already. The setup given at the first
  // opening serves every later one.
  HWND Open(MetricsWindowSetup setup);
  // A sample the server's week has just taken: drawn when the window is open.
  void AddSample(const MetricsSample& sample);

 private:
  friend class ToolWindow<MetricsWindow>;
  void OnCreate(UINT dpi);
  void PlaceControls(UINT dpi);
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void Load();
  void ChooseSpan(int64_t seconds);
  void ShowChosenSpan();
  void Paint();
  void ShowPointer(int x, int y);
  ChartGeometry Geometry() const;
  int64_t SpanEnd() const;

  MetricsWindowSetup setup_;
  UniqueGdiObject font_;
  // 7 天 at first; the host's choice holds for the window's later openings.
  int64_t span_ = 7 * 24 * 60 * 60;
  std::optional<MetricsHistory> history_;  // empty while the files are read
  std::vector<MetricsSample> arrived_;     // while they are read
  int64_t localLead_ = 0;                  // the local clock's lead over UTC, in seconds
  std::optional<Worker> reader_;
};

}  // namespace tidemoor
