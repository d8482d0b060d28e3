#include "install/update_countdown.h"

#include <gtest/gtest.h>

#include <vector>

namespace tidemoor {
namespace {

// Each case follows the countdown from the moment the newer build is found, with who is online
// at each step, and lists the notices given and when (minutes since the find) the update runs.
TEST(UpdateCountdown, NoticesAt10And5And1MinutesUnlessNobodyIsOnline) {
  using P = PlayersOnline;
  struct Case {
    const char* what;
    std::vector<P> players;  // at each step; the last one repeats
    std::vector<int> notices;
    int updateAtMinute;
  };
  const Case cases[] = {
      {"nobody online: at once", {P::None}, {}, 0},
      {"players throughout", {P::Some}, {10, 5, 1}, 10},
      {"an API that does not answer counts as players", {P::Unknown}, {10, 5, 1}, 10},
      {"everyone left after the first notice", {P::Some, P::None}, {10}, 5},
      {"everyone left before the last minute", {P::Some, P::Some, P::None}, {10, 5}, 9},
      {"the API falls silent, then nobody",
       {P::Some, P::Unknown, P::Unknown, P::None},
       {10, 5, 1},
       10},
  };
  for (const Case& c : cases) {
    std::vector<int> notices;
    int minute = 0;
    int left = kNoCountdown;
    for (size_t step = 0; step < 10; ++step) {
      const UpdateStep next = NextUpdateStep(left, c.players[std::min(step, c.players.size() - 1)]);
      if (next.updateNow) break;
      notices.push_back(next.noticeMinutes);
      minute += next.waitMinutes;
      left = next.minutesLeft;
    }
    EXPECT_EQ(notices, c.notices) << c.what;
    EXPECT_EQ(minute, c.updateAtMinute) << c.what;
  }
  EXPECT_EQ(UpdateNotice(5), "服务端有新版本，将在 5 分钟后重启更新");
}

TEST(UpdateCountdown, CheckPeriodFollowsTheTypedMinutes) {
  struct Case {
    const char* typed;
    unsigned milliseconds;
  };
  const Case cases[] = {
      {"30", 1'800'000}, {"0", 0},
      {"", 0},           {"-5", 0},
      {"abc", 0},        {"３０", 1'800'000},
      {"1", 60'000},     {"99999999", 604'800'000},
  };
  for (const Case& c : cases)
    EXPECT_EQ(UpdateCheckMilliseconds(c.typed), c.milliseconds) << c.typed;
}

}  // namespace
}  // namespace tidemoor
