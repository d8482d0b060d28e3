#include "install/update_countdown.h"

#include <algorithm>
#include <array>
#include <cstdint>

#include "platform/text.h"

namespace tidemoor {
namespace {

constexpr std::array<int, 3> kNoticeMinutes = {10, 5, 1};

}  // namespace

UpdateStep NextUpdateStep(int minutesLeft, PlayersOnline players) {
  if (players == PlayersOnline::None || minutesLeft == 0) return {true, 0, 0, 0};
  // A countdown that has not begun, or stands at a time no notice names, gives the first notice
  // not later than it.
  for (size_t i = 0; i < kNoticeMinutes.size(); ++i) {
    const int notice = kNoticeMinutes[i];
    if (minutesLeft != kNoCountdown && notice > minutesLeft) continue;
    const int next = i + 1 < kNoticeMinutes.size() ? kNoticeMinutes[i + 1] : 0;
    return {false, notice, notice - next, next};
  }
  return {true, 0, 0, 0};
}

unsigned UpdateCheckMilliseconds(std::string_view minutesText) {
  constexpr int64_t kWeekMinutes = 7 * 24 * 60;
  const int64_t minutes = TextToNumber(minutesText);
  if (minutes <= 0) return 0;
  return static_cast<unsigned>(std::min(minutes, kWeekMinutes) * 60'000);
}

std::string UpdateNotice(int minutes) {
  return "服务端有新版本，将在 " + std::to_string(minutes) + " 分钟后重启更新";
}

}  // namespace tidemoor
