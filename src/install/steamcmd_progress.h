#pragma once
// What SteamCMD's output says about an app_update as it runs: the latest progress line and the
// last error line, from the bytes as they arrive (a read may end in the middle of a line).

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tidemoor {

enum class InstallPhase {
  Preparing,    // reconfiguring, preallocating and the other states before the download
  Downloading,  // 0x61
  Verifying,    // 0x5 verifying install, 0x81 verifying update
  Installing,   // 0x101 committing
};

// One "Update state (0x61) downloading, progress: 45.23 (1900000000 / 4200000000)" line.
struct SteamCmdProgress {
  InstallPhase phase = InstallPhase::Preparing;
  double percent = 0;  // SteamCMD's own figure, 0..100
  uint64_t doneBytes = 0;
  uint64_t totalBytes = 0;  // 0 while SteamCMD does not know it yet
  friend bool operator==(const SteamCmdProgress&, const SteamCmdProgress&) = default;
};

// The line's progress; nullopt for any other line.
std::optional<SteamCmdProgress> ParseProgressLine(std::string_view line);

class SteamCmdOutput {
 public:
  void Feed(std::string_view bytes);
  const std::optional<SteamCmdProgress>& Latest() const { return latest_; }
  // "Error! App '2394010' state is 0x602 after update job." and the like; empty when none came.
  const std::string& LastErrorLine() const { return lastError_; }

 private:
  void TakeLine(std::string_view line);

  std::string partial_;
  bool skippingLongLine_ = false;
  std::optional<SteamCmdProgress> latest_;
  std::string lastError_;
};

}  // namespace tidemoor
