#include "server/server_metrics_log.h"

#include <charconv>

namespace tidemoor {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

template <typename Number>
bool ReadField(std::string_view& line, Number& value, bool last) {
  const size_t tab = line.find('\t');
  if (last != (tab == std::string_view::npos)) return false;
  const std::string_view field = line.substr(0, tab);
  const auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), value);
  if (field.empty() || error != std::errc() || end != field.data() + field.size()) return false;
  line.remove_prefix(last ? line.size() : tab + 1);
  return true;
}

std::optional<MetricsSample> ReadLine(std::string_view line) {
  MetricsSample sample;
  if (ReadField(line, sample.time, false) && ReadField(line, sample.players, false) &&
      ReadField(line, sample.fps, false) && ReadField(line, sample.memoryBytes, true)) {
    return sample;
  }
  return std::nullopt;
}

// Calls take(line, sample) for each line of the text, the line without its end.
template <typename Take>
void EachLine(std::string_view text, Take take) {
  if (text.starts_with(kUtf8Mark)) text.remove_prefix(kUtf8Mark.size());
  while (!text.empty()) {
    const size_t newline = text.find('\n');
    std::string_view line = text.substr(0, newline);
    if (line.ends_with('\r')) line.remove_suffix(1);
    take(line, ReadLine(line));
    if (newline == std::string_view::npos) break;
    text.remove_prefix(newline + 1);
  }
}

}  // namespace

std::string MetricsFile(const ServerPaths& paths) {
  return paths.DataDir + "Metrics.tsv";
}

std::string MetricsLine(const MetricsSample& sample) {
  return std::to_string(sample.time) + "\t" + std::to_string(sample.players) + "\t" +
         std::to_string(sample.fps) + "\t" + std::to_string(sample.memoryBytes) + "\r\n";
}

std::vector<MetricsSample> ReadMetricsLog(std::string_view text) {
  std::vector<MetricsSample> samples;
  EachLine(text, [&](std::string_view, const std::optional<MetricsSample>& sample) {
    if (sample) samples.push_back(*sample);
  });
  return samples;
}

MetricsWrite NextMetricsWrite(int64_t now, std::optional<int64_t> lastRewrite, size_t fileBytes,
                              size_t lineBytes) {
  if (!lastRewrite || now - *lastRewrite >= kMetricsRewriteGapSeconds || now < *lastRewrite) {
    return MetricsWrite::Rewrite;
  }
  return fileBytes + lineBytes <= kMetricsFileCap ? MetricsWrite::Append : MetricsWrite::Skip;
}

std::string MetricsKept(std::string_view text, int64_t now) {
  std::vector<std::string_view> kept;
  size_t bytes = 0;
  EachLine(text, [&](std::string_view line, const std::optional<MetricsSample>& sample) {
    if (!sample || now - sample->time > kMetricsKeptSeconds) return;
    kept.push_back(line);
    bytes += line.size() + 2;
  });
  size_t first = 0;
  while (first < kept.size() && bytes + kMetricsRewriteRoom > kMetricsFileCap) {
    bytes -= kept[first++].size() + 2;
  }
  std::string result;
  result.reserve(bytes);
  for (size_t i = first; i < kept.size(); ++i) {
    result.append(kept[i]);
    result += "\r\n";
  }
  return result;
}

}  // namespace tidemoor
