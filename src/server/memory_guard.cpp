#include "server/memory_guard.h"

#include <charconv>
#include <cmath>

#include "platform/text.h"

namespace tidemoor {
namespace {

constexpr double kBytesPerGb = 1024.0 * 1024.0 * 1024.0;
constexpr double kBytesPerMb = 1024.0 * 1024.0;
// More than any PC holds: a limit above it would only overflow.
constexpr double kLargestLimitGb = 1024.0 * 1024.0;

}  // namespace

std::optional<uint64_t> MemoryLimitBytes(std::string_view typed) {
  const std::string wide = FullWidthToAscii(typed);
  const std::string_view text = TrimBlanks(wide);
  double gb = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), gb);
  if (text.empty() || error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  if (!(gb > 0) || gb > kLargestLimitGb) return std::nullopt;
  const auto bytes = static_cast<uint64_t>(std::llround(gb * kBytesPerGb));
  return bytes > 0 ? std::optional<uint64_t>(bytes) : std::nullopt;
}

std::string MemoryText(uint64_t bytes) {
  const double gb = static_cast<double>(bytes) / kBytesPerGb;
  if (gb < 1.0) {
    return std::to_string(std::llround(static_cast<double>(bytes) / kBytesPerMb)) + " MB";
  }
  const int64_t tenths = std::llround(gb * 10);
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " GB";
}

std::string MemoryRestartNotice(int minutes) {
  return "服务器内存占用过高，将在 " + std::to_string(minutes) + " 分钟后重启";
}

bool MemoryGuard::NeedsPlayers(bool over) const {
  if (restartDue_) return false;
  return minutesLeft_.has_value() || (over && checksOver_ + 1 >= kMemoryChecksOverLimit);
}

MemoryStep MemoryGuard::Check(bool over, std::optional<int> playersOnline) {
  using Action = MemoryStep::Action;
  if (restartDue_) return {Action::Restart};
  const bool nobodyOnline = playersOnline && *playersOnline == 0;
  if (minutesLeft_) {
    // Announced: the players were promised a restart, whatever the memory does meanwhile; once
    // the last of them has left, nobody is left to wait for.
    --*minutesLeft_;
    if (*minutesLeft_ <= 0 || nobodyOnline) {
      restartDue_ = true;
      return {Action::Restart};
    }
    for (const int notice : kMemoryRestartNoticeMinutes) {
      if (*minutesLeft_ == notice) return {Action::Notice, notice};
    }
    return {};
  }
  checksOver_ = over ? checksOver_ + 1 : 0;
  if (checksOver_ < kMemoryChecksOverLimit) return {};
  if (nobodyOnline) {
    restartDue_ = true;
    return {Action::Restart};
  }
  minutesLeft_ = kMemoryRestartNoticeMinutes[0];
  return {Action::Notice, *minutesLeft_};
}

void MemoryGuard::Reset() {
  checksOver_ = 0;
  minutesLeft_.reset();
  restartDue_ = false;
}

}  // namespace tidemoor
