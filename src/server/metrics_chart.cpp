#include "server/metrics_chart.h"

#include <algorithm>
#include <cmath>

namespace tidemoor {
namespace {

double LeastTop(ChartMeasure measure) {
  switch (measure) {
    case ChartMeasure::Players:
      return 4;
    case ChartMeasure::Fps:
      return 10;
    case ChartMeasure::MemoryGb:
      break;
  }
  return 1;
}

// The smallest of 1, 2 and 5 times a power of ten that is at least highest.
double NiceTop(double highest) {
  double power = std::pow(10.0, std::floor(std::log10(highest)));
  for (;;) {
    for (double step : {1.0, 2.0, 5.0}) {
      if (step * power >= highest) return step * power;
    }
    power *= 10;
  }
}

}  // namespace

double ChartValue(const MetricsSample& sample, ChartMeasure measure) {
  switch (measure) {
    case ChartMeasure::Players:
      return sample.players;
    case ChartMeasure::Fps:
      return sample.fps;
    case ChartMeasure::MemoryGb:
      break;
  }
  return static_cast<double>(sample.memoryBytes) / (1024.0 * 1024.0 * 1024.0);
}

ChartScale ScaleChart(const std::vector<MetricsSample>& samples, ChartMeasure measure, int64_t from,
                      int64_t to) {
  auto within = [&](const MetricsSample& sample) {
    return sample.time >= from && sample.time <= to;
  };
  double highest = LeastTop(measure);
  for (const MetricsSample& sample : samples) {
    if (within(sample)) highest = std::max(highest, ChartValue(sample, measure));
  }
  ChartScale scale;
  scale.top = NiceTop(highest);
  const double span = to > from ? static_cast<double>(to - from) : 1.0;
  const MetricsSample* previous = nullptr;
  for (const MetricsSample& sample : samples) {
    if (!within(sample)) continue;
    // A clock set back shows as time running backwards: no line joins across it either.
    if (!previous || sample.time - previous->time > kChartGapSeconds ||
        sample.time < previous->time) {
      scale.lines.emplace_back();
    }
    scale.lines.back().push_back({static_cast<double>(sample.time - from) / span,
                                  std::max(0.0, ChartValue(sample, measure)) / scale.top});
    previous = &sample;
  }
  return scale;
}

const MetricsSample* SampleAt(const std::vector<MetricsSample>& samples, int64_t time) {
  const MetricsSample* nearest = nullptr;
  int64_t distance = kChartGapSeconds / 2 + 1;
  for (const MetricsSample& sample : samples) {
    const int64_t away = sample.time > time ? sample.time - time : time - sample.time;
    if (away < distance) {
      nearest = &sample;
      distance = away;
    }
  }
  return nearest;
}

}  // namespace tidemoor
