#pragma once
// The scaling of the 运行曲线 charts: where each sample of one measure lies in a chart over a time
// span, as fractions the window multiplies by its size in pixels. Samples further apart than
// kChartGapSeconds belong to two lines: between them the server was stopped, and a line drawn
// across that would show values that never were.

#include <cstdint>
#include <vector>

#include "server/server_metrics_log.h"

namespace tidemoor {

inline constexpr int64_t kChartGapSeconds = 3 * 60;

enum class ChartMeasure { Players, Fps, MemoryGb };

// A sample's value in the chart's unit (memory in GB of 1024³ bytes, as Task Manager counts).
double ChartValue(const MetricsSample& sample, ChartMeasure measure);

struct ChartPoint {
  double x = 0;  // 0 at the span's start, 1 at its end
  double y = 0;  // 0 at the bottom (a value of 0), 1 at the top

  bool operator==(const ChartPoint&) const = default;
};

struct ChartScale {
  double top = 1;  // the value at the chart's top: 1, 2 or 5 times a power of ten
  // Each a polyline; one of a single point (a run of one minute) is drawn as a dot.
  std::vector<std::vector<ChartPoint>> lines;
};

// The samples within [from, to], in the file's order. Without any, the chart is empty with the
// least top of its measure (5 players, 10 FPS, 1 GB).
ChartScale ScaleChart(const std::vector<MetricsSample>& samples, ChartMeasure measure, int64_t from,
                      int64_t to);

// The sample the pointer at time is over: the nearest one no further than half a gap away, or
// nullptr over a stop or beyond the samples.
const MetricsSample* SampleAt(const std::vector<MetricsSample>& samples, int64_t time);

}  // namespace tidemoor
