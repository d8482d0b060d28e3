#include "install/steamcmd_progress.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "install/install_status.h"

namespace tidemoor {
namespace {

using P = InstallPhase;

// The phase is told by the state's words; the byte counts go beyond an int.
TEST(SteamCmdProgressLine, RealShapedLinesAndGarbage) {
  using S = SteamCmdProgress;
  const struct {
    const char* line;
    std::optional<SteamCmdProgress> expected;
  } cases[] = {
      {" Update state (0x61) downloading, progress: 45.23 (1900000000 / 4200000000)",
       S{P::Downloading, 45.23, 1900000000, 4200000000}},
      {"Update state (0x5) verifying install, progress: 12.00 (5 / 9)", S{P::Verifying, 12, 5, 9}},
      {"Update state (0x81) verifying update, progress: 9.99 (1 / 9)", S{P::Verifying, 9.99, 1, 9}},
      {"Update state (0x101) committing, progress: 80.00 (8 / 10)", S{P::Installing, 80, 8, 10}},
      {"Update state (0x11) preallocating, progress: 3.10 (1 / 42)", S{P::Preparing, 3.1, 1, 42}},
      {"Update state (0x3) reconfiguring, progress: 0.00 (0 / 0)", S{P::Preparing, 0, 0, 0}},
      {" Update state (0x61) downloading, progress: 45.23 (1900000000 / ", std::nullopt},
      {" Update state (0x61) downloading, progress: abc (1 / 2)", std::nullopt},
      {" Update state (0x61) downloading, progress: 45.23 (-5 / 2)", std::nullopt},
      {"Update state (0x61) downloading", std::nullopt},
      {"Success! App '2394010' fully installed.", std::nullopt},
      {"\xff\xfe Update state (\x01", std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(ParseProgressLine(c.line), c.expected) << c.line;
}

// What the output says once all of it has been fed, however the reads cut it.
TEST(SteamCmdOutputFed, LatestProgressAndLastErrorAcrossReads) {
  const std::string download =
      " Update state (0x61) downloading, progress: 45.23 (1900000000 / 4200000000)\r\n";
  const std::string error = "Error! App '2394010' state is 0x602 after update job.\r\n";
  const struct {
    const char* what;
    std::vector<std::string> reads;
    double percent;  // -1: no progress yet
    std::string lastError;
  } cases[] = {
      {"split in a number",
       {download.substr(0, 50), download.substr(50, 10), download.substr(60)},
       45.23,
       ""},
      {"a line counts once it ends", {download.substr(0, 70)}, -1, ""},
      {"line ends split between reads", {download.substr(0, download.size() - 1), "\n"}, 45.23, ""},
      {"the newest line wins",
       {download, " Update state (0x101) committing, progress: 100.00 (4200000000 / 4200000000)\n"},
       100,
       ""},
      {"the last error line",
       {"ERROR! Failed to install app '2394010' (No subscription)\r\n", download, error},
       45.23,
       "Error! App '2394010' state is 0x602 after update job."},
      {"a line that never ends is dropped, the next one read",
       {std::string(5000, 'x'), std::string(5000, 'y'), "\n", download},
       45.23,
       ""},
      {"a carriage return alone ends a line",
       {"Login Failure: No Connection\r", download},
       45.23,
       "Login Failure: No Connection"},
  };
  for (const auto& c : cases) {
    SteamCmdOutput output;
    for (const std::string& read : c.reads) output.Feed(read);
    EXPECT_EQ(output.Latest() ? output.Latest()->percent : -1, c.percent) << c.what;
    EXPECT_EQ(output.LastErrorLine(), c.lastError) << c.what;
  }
}

// The status line from the progress lines as they came: each case feeds lines at their times
// (seconds after SteamCMD started) and reads the status at the end.
TEST(InstallStatusLine, SizesSpeedRemainingAndStall) {
  const uint64_t gb = 4200000000;  // a total in GB
  const auto download = [](double percent, uint64_t done, uint64_t total) {
    return SteamCmdProgress{P::Downloading, percent, done, total};
  };
  const struct {
    const char* what;
    std::vector<std::pair<int, SteamCmdProgress>> seen;
    int readAt;
    InstallStatus expected;
  } cases[] = {
      {"before any progress line", {}, 5, {"正在下载游戏服务端…", 0}},
      {"the first figure: no speed yet",
       {{2, download(45.23, 1900000000, gb)}},
       3,
       {"正在下载游戏服务端 45% (1.9 / 4.2 GB)", 45}},
      {"speed over the last seconds",
       {{0, download(41.72, 1752400000, gb)}, {12, download(45.23, 1900000000, gb)}},
       12,
       {"正在下载游戏服务端 45% (1.9 / 4.2 GB, 12.3 MB/s, 剩余约 3 分钟)", 45}},
      {"small downloads in MB, under a minute left",
       {{0, download(10, 80000000, 800000000)}, {10, download(60, 480000000, 800000000)}},
       10,
       {"正在下载游戏服务端 60% (480 / 800 MB, 40.0 MB/s, 剩余不到 1 分钟)", 60}},
      {"hours left",
       {{0, download(0, 0, gb)}, {100, download(1, 50000000, gb)}},
       100,
       {"正在下载游戏服务端 1% (0.1 / 4.2 GB, 0.5 MB/s, 剩余约 2 小时 18 分钟)", 1}},
      {"a total of 0 bytes: the percentage alone",
       {{0, download(0, 0, 0)}, {5, download(1.5, 0, 0)}},
       6,
       {"正在下载游戏服务端 1%", 1}},
      {"verifying", {{1, {P::Verifying, 33.3, 1, 3}}}, 2, {"正在校验…", 33}},
      {"committing", {{1, {P::Installing, 70, 7, 10}}}, 2, {"正在安装…", 70}},
      {"preallocating", {{1, {P::Preparing, 3, 3, 100}}}, 2, {"正在下载游戏服务端…", 3}},
      {"the same figure again is no progress",
       {{0, download(45.23, 1900000000, gb)}, {100, download(45.23, 1900000000, gb)}},
       121,
       {kDownloadStalled, 45, true}},
      {"nothing at all for two minutes", {}, 120, {kDownloadStalled, 0, true}},
      {"a new figure ends the stall",
       {{0, download(45, 1900000000, gb)}, {200, download(46, 1930000000, gb)}},
       201,
       {"正在下载游戏服务端 46% (1.9 / 4.2 GB, 0.1 MB/s, 剩余约 4 小时 13 分钟)", 46}},
  };
  for (const auto& c : cases) {
    const InstallWatch::Clock::time_point start{};
    InstallWatch watch(start);
    for (const auto& [at, progress] : c.seen) {
      watch.Observe(progress, start + std::chrono::seconds(at));
    }
    const InstallStatus status = watch.Status(start + std::chrono::seconds(c.readAt));
    EXPECT_EQ(status, c.expected) << c.what << ": " << status.line;
  }
}

}  // namespace
}  // namespace tidemoor
