#include "install/install_status.h"

#include <cmath>
#include <cstdio>

namespace tidemoor {
namespace {

// Without a new figure for this long, the download has stalled: the network has gone, or Steam's
// content servers stopped answering. SteamCMD is left to recover or end by itself.
constexpr auto kStallAfter = std::chrono::minutes(2);
// The speed is the average over this much of the recent download.
constexpr auto kSpeedWindow = std::chrono::seconds(10);

std::string OneDecimal(double value) {
  char text[32];
  std::snprintf(text, sizeof(text), "%.1f", value);
  return text;
}

std::string DownloadLine(const SteamCmdProgress& progress, std::optional<double> bytesPerSecond) {
  std::string line =
      "正在下载游戏服务端 " + std::to_string(static_cast<int>(progress.percent)) + "%";
  if (progress.totalBytes == 0) return line;
  line += " (" + SizesText(progress.doneBytes, progress.totalBytes);
  if (bytesPerSecond) {
    line += ", " + OneDecimal(*bytesPerSecond / 1e6) + " MB/s";
    const uint64_t left =
        progress.totalBytes > progress.doneBytes ? progress.totalBytes - progress.doneBytes : 0;
    line += ", " + RemainingText(std::chrono::seconds(static_cast<long long>(
                       std::ceil(static_cast<double>(left) / *bytesPerSecond))));
  }
  return line + ")";
}

}  // namespace

std::string SizesText(uint64_t done, uint64_t total) {
  const bool gigabytes = total >= 1'000'000'000;
  const double unit = gigabytes ? 1e9 : 1e6;
  const auto shown = [&](uint64_t bytes) {
    return gigabytes ? OneDecimal(static_cast<double>(bytes) / unit)
                     : std::to_string(static_cast<uint64_t>(static_cast<double>(bytes) / unit));
  };
  return shown(done) + " / " + shown(total) + (gigabytes ? " GB" : " MB");
}

std::string RemainingText(std::chrono::seconds remaining) {
  if (remaining < std::chrono::seconds(90)) return "剩余不到 1 分钟";
  const long long minutes = (remaining.count() + 30) / 60;
  if (minutes < 60) return "剩余约 " + std::to_string(minutes) + " 分钟";
  return "剩余约 " + std::to_string(minutes / 60) + " 小时 " + std::to_string(minutes % 60) +
         " 分钟";
}

void InstallWatch::Observe(const std::optional<SteamCmdProgress>& progress, Clock::time_point now) {
  if (!progress || progress == latest_) return;
  const bool samePhase = latest_ && latest_->phase == progress->phase;
  if (!samePhase || (!samples_.empty() && progress->doneBytes < samples_.back().bytes)) {
    samples_.clear();
  }
  latest_ = progress;
  lastMove_ = now;
  if (progress->phase != InstallPhase::Downloading) return;
  samples_.push_back({now, progress->doneBytes});
  while (samples_.size() > 2 && now - samples_[1].at >= kSpeedWindow) samples_.pop_front();
}

// Up to now, not to the last figure: a download that slows down shows it before the next line.
std::optional<double> InstallWatch::BytesPerSecond(Clock::time_point now) const {
  if (samples_.size() < 2) return std::nullopt;
  const std::chrono::duration<double> span = now - samples_.front().at;
  const uint64_t bytes = samples_.back().bytes - samples_.front().bytes;
  if (span.count() < 1 || bytes == 0) return std::nullopt;
  return static_cast<double>(bytes) / span.count();
}

InstallStatus InstallWatch::Status(Clock::time_point now) const {
  InstallStatus status;
  if (latest_) status.percent = static_cast<int>(latest_->percent);
  if (now - lastMove_ >= kStallAfter) {
    status.line = kDownloadStalled;
    status.stalled = true;
    return status;
  }
  if (!latest_) {
    status.line = "正在下载游戏服务端…";
    return status;
  }
  switch (latest_->phase) {
    case InstallPhase::Preparing:
      status.line = "正在下载游戏服务端…";
      break;
    case InstallPhase::Downloading:
      status.line = DownloadLine(*latest_, BytesPerSecond(now));
      break;
    case InstallPhase::Verifying:
      status.line = "正在校验…";
      break;
    case InstallPhase::Installing:
      status.line = "正在安装…";
      break;
  }
  return status;
}

}  // namespace tidemoor
