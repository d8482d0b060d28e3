#pragma once
// The status line and progress bar while SteamCMD installs or updates the server, from its
// progress lines as they come and the time: how much, how fast, how long still, and a download
// that no longer moves.

#include <chrono>
#include <deque>
#include <functional>
#include <optional>
#include <string>

#include "install/steamcmd_progress.h"

namespace tidemoor {

struct InstallStatus {
  // "正在下载游戏服务端 45% (1.9 / 4.2 GB, 12.3 MB/s, 剩余约 3 分钟)", "正在校验…", "正在安装…"
  std::string line;
  int percent = 0;  // the bar's position, 0..100
  bool stalled = false;
  bool running = true;  // false once, as SteamCMD has ended: the bar has nothing more to show
  friend bool operator==(const InstallStatus&, const InstallStatus&) = default;
};

// Hears the status while SteamCMD runs, at least every 2 s.
using InstallProgressFunction = std::function<void(const InstallStatus&)>;

inline constexpr char kDownloadStalled[] = "下载停滞 - 请检查网络";

class InstallWatch {
 public:
  using Clock = std::chrono::steady_clock;
  // SteamCMD has started at `now`.
  explicit InstallWatch(Clock::time_point now) : lastMove_(now) {}

  // The latest progress line SteamCMD has written by `now` (the same one again when it wrote
  // nothing new).
  void Observe(const std::optional<SteamCmdProgress>& progress, Clock::time_point now);
  InstallStatus Status(Clock::time_point now) const;

 private:
  struct Sample {
    Clock::time_point at;
    uint64_t bytes;
  };
  std::optional<double> BytesPerSecond(Clock::time_point now) const;

  std::optional<SteamCmdProgress> latest_;
  Clock::time_point lastMove_;
  // The download's recent figures, for its speed.
  std::deque<Sample> samples_;
};

// "1.9 / 4.2 GB", "120 / 800 MB" (decimal units, as SteamCMD counts).
std::string SizesText(uint64_t done, uint64_t total);
// "剩余约 3 分钟", "剩余约 1 小时 5 分钟", "剩余不到 1 分钟" (under 90 s): to the nearest minute.
std::string RemainingText(std::chrono::seconds remaining);

}  // namespace tidemoor
