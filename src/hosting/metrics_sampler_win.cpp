#include "hosting/metrics_sampler_win.h"

#include <windows.h>

#include <utility>

#include "platform/codepage_win.h"
#include "platform/date_time.h"
#include "platform/system_error_win.h"
#include "platform/unique_handle_win.h"
#include "platform/whole_file_win.h"

namespace tidemoor {
namespace {

// Far above the cap: a file that grew past it by another hand is still read and cut down.
constexpr size_t kMetricsReadLimit = 16 * kMetricsFileCap;

Outcome Rewrite(const std::string& path, const std::string& line, int64_t now) {
  const WholeFile current = ReadWholeFile(path, kMetricsReadLimit);
  // A file that is there but cannot be read is kept as it is, rather than replaced by one line.
  if (current.state == FileState::Unreadable) return current.error;
  return ReplaceWholeFile(path, MetricsKept(current.bytes, now) + line);
}

// Appends the line, or rewrites the file, as the next write for its size is; the sample is dropped
// when the file is full and its hour not over.
Outcome WriteSample(const std::string& path, const MetricsSample& sample,
                    std::optional<int64_t>& lastRewrite) {
  const std::string line = MetricsLine(sample);
  UniqueFileHandle file(::CreateFileW(Widen(path).c_str(), FILE_APPEND_DATA | FILE_READ_ATTRIBUTES,
                                      FILE_SHARE_READ, nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                                      nullptr));
  if (!file) return LastSystemError();
  LARGE_INTEGER size{};
  if (!::GetFileSizeEx(file.get(), &size)) return LastSystemError();
  switch (
      NextMetricsWrite(sample.time, lastRewrite, static_cast<size_t>(size.QuadPart), line.size())) {
    case MetricsWrite::Skip:
      return {};
    case MetricsWrite::Append: {
      DWORD written = 0;
      if (!::WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written,
                       nullptr) ||
          written != line.size()) {
        return LastSystemError();
      }
      return {};
    }
    case MetricsWrite::Rewrite:
      break;
  }
  file.reset();
  Outcome rewritten = Rewrite(path, line, sample.time);
  if (rewritten) lastRewrite = sample.time;
  return rewritten;
}

}  // namespace

MetricsSampler::MetricsSampler(MetricsSamplerWiring wiring) : wiring_(std::move(wiring)) {}

void MetricsSampler::Follow(bool running) {
  if (!running) {
    ticker_.Stop();
    return;
  }
  if (!ticker_.Running()) ticker_.Every(wiring_.period, [this] { Take(); });
}

void MetricsSampler::SetListener(std::function<void(const MetricsSample&)> listener) {
  listener_ = std::move(listener);
}

void MetricsSampler::Cancel() {
  ticker_.Stop();
  writer_.reset();
}

// Players and FPS the server did not tell (no answer yet, or a failed one) are written as 0, so
// every minute the server ran has its line and the chart no gap; the memory likewise.
void MetricsSampler::Take() {
  if (!writer_) return;
  const std::optional<ServerMetrics> metrics = wiring_.latestMetrics();
  MetricsSample sample;
  sample.time = SecondsSince1970();
  sample.players = metrics ? metrics->currentPlayers : 0;
  sample.fps = metrics ? metrics->serverFps : 0;
  sample.memoryBytes = wiring_.serverMemory().value_or(0);
  writer_->Run<Outcome>(
      [path = wiring_.file, sample, state = fileState_] {
        return WriteSample(path, sample, state->lastRewrite);
      },
      [this](Outcome written) {
        if (written) {
          failureRecorded_ = false;
          return;
        }
        if (failureRecorded_) return;
        failureRecorded_ = true;
        wiring_.record(WithCause("运行曲线数据写入失败: " + wiring_.file, written.Error()));
      });
  if (listener_) listener_(sample);
}

}  // namespace tidemoor
