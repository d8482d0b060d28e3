#pragma once
// The server's week: PaLWorld_Data\Metrics.tsv, a line per minute while the server runs: the time
// (seconds since 1970, UTC), players online, FPS and the bytes the server's worker uses, tab
// apart. Lines are appended; at most once an hour the file is rewritten without the lines older
// than kMetricsKeptSeconds, and it never grows beyond kMetricsFileCap (the oldest lines go first).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/server_paths.h"

namespace tidemoor {

inline constexpr int64_t kMetricsKeptSeconds = 8 * 24 * 60 * 60;
inline constexpr int64_t kMetricsRewriteGapSeconds = 60 * 60;
inline constexpr size_t kMetricsFileCap = 2 * 1024 * 1024;
// What a rewrite leaves free below the cap: more than an hour of lines, so appends between two
// rewrites never reach it.
inline constexpr size_t kMetricsRewriteRoom = 64 * 1024;

std::string MetricsFile(const ServerPaths& paths);  // PaLWorld_Data\Metrics.tsv

struct MetricsSample {
  int64_t time = 0;
  int players = 0;
  int fps = 0;
  uint64_t memoryBytes = 0;

  bool operator==(const MetricsSample&) const = default;
};

// The line for one sample, ended by CR LF.
std::string MetricsLine(const MetricsSample& sample);
// The samples in the file's order; a line that is not one (cut short by a crash) is skipped.
std::vector<MetricsSample> ReadMetricsLog(std::string_view text);

// How the next sample goes to the file.
enum class MetricsWrite {
  Append,
  Rewrite,  // the file's kept lines (MetricsKept) and the sample replace it in one step
  Skip,     // the file is at its cap and the hour is not over: the sample is not kept
};

// lastRewrite: when this run of the tool last rewrote the file (nullopt: not yet, so the first
// sample rewrites it); fileBytes: its size now.
MetricsWrite NextMetricsWrite(int64_t now, std::optional<int64_t> lastRewrite, size_t fileBytes,
                              size_t lineBytes);

// The file's text without the lines older than kMetricsKeptSeconds before now, and cut from the
// oldest to leave kMetricsRewriteRoom below the cap.
std::string MetricsKept(std::string_view text, int64_t now);

}  // namespace tidemoor
