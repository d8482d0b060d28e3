#pragma once
// The server's week, a minute at a time: while the server runs, one sample a minute goes to
// PaLWorld_Data\Metrics.tsv (appended, or the file rewritten with its kept lines, as
// NextMetricsWrite decides) on a worker of its own, and to whoever draws the 运行曲线.

#include <chrono>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "platform/ticker_win.h"
#include "platform/worker_win.h"
#include "server/rest_api.h"
#include "server/server_metrics_log.h"

namespace tidemoor {

struct MetricsSamplerWiring {
  std::string file;  // PaLWorld_Data\Metrics.tsv
  std::chrono::milliseconds period{60'000};
  std::function<void(std::string_view)> record;  // the event log
  // The server's last metrics answer, nullopt when it gave none.
  std::function<std::optional<ServerMetrics>()> latestMetrics;
  // The working set of the server's worker; nullopt while it cannot be read.
  std::function<std::optional<uint64_t>()> serverMemory;
};

class MetricsSampler {
 public:
  explicit MetricsSampler(MetricsSamplerWiring wiring);
  MetricsSampler(const MetricsSampler&) = delete;
  MetricsSampler& operator=(const MetricsSampler&) = delete;

  // Samples every period while running; the first a period after the server came up.
  void Follow(bool running);
  // Each sample as it is taken.
  void SetListener(std::function<void(const MetricsSample&)> listener);
  // As the window goes: no sample is taken any more; one being written still reaches the file.
  void Cancel();

 private:
  void Take();

  // What the writing jobs share from one to the next: they run one at a time on writer_.
  struct FileState {
    std::optional<int64_t> lastRewrite;
  };

  MetricsSamplerWiring wiring_;
  std::function<void(const MetricsSample&)> listener_;
  std::shared_ptr<FileState> fileState_ = std::make_shared<FileState>();
  // Told once until a write succeeds again: a disk that refuses every minute is one event.
  bool failureRecorded_ = false;
  Ticker ticker_;
  std::optional<Worker> writer_{std::in_place};
};

}  // namespace tidemoor
