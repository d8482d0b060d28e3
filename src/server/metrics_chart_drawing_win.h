#pragma once
// The 运行曲线's three charts drawn with GDI: a polyline per run of the server (a run of one sample
// a dot), the top value and 0 at the left of each chart, the time axis with its ticks under them,
// and the stops, crashes and restarts as marks on it.

#include <windows.h>

#include <cstdint>
#include <vector>

#include "server/chart_marks.h"
#include "server/server_metrics_log.h"

namespace tidemoor {

// Where the charts lie in a window's client area, in pixels.
struct ChartGeometry {
  RECT area{};           // everything drawn: the charts, the axis and its legend
  int plotLeft = 0;      // where the span's start lies
  int plotRight = 0;     // where its end lies
  int chartsTop = 0;     // the first chart's top
  int chartsBottom = 0;  // the time axis
};

// For the client area below top pixels (the row of buttons).
ChartGeometry ChartGeometryFor(const RECT& client, int top, UINT dpi);

// What the charts show: the samples and marks of the span [from, to].
struct ChartContent {
  const std::vector<MetricsSample>* samples = nullptr;  // null while they are read
  const std::vector<ChartMark>* marks = nullptr;
  int64_t from = 0;
  int64_t to = 0;
  int64_t localLead = 0;  // the local clock's lead over UTC, for the axis' labels
};

// Draws into dc (a buffer as large as the client area) in the font given.
void DrawCharts(HDC dc, const ChartGeometry& geometry, UINT dpi, HFONT font,
                const ChartContent& content);

}  // namespace tidemoor
