#include "remote/remote_rate_limit.h"

#include <gtest/gtest.h>

namespace tidemoor {
namespace {

using std::chrono::milliseconds;
using std::chrono::seconds;

TEST(RemoteRateLimit, OnePersonEveryThreeSecondsAndTwentyAMinuteInAll) {
  const auto t0 = std::chrono::steady_clock::time_point{} + std::chrono::hours(1);
  RemoteRateLimit limit;
  const struct {
    const char* who;
    milliseconds at;
    bool admitted;
  } steps[] = {
      {"a", milliseconds(0), true},    {"a", milliseconds(1000), false},
      {"b", milliseconds(1000), true}, {"a", milliseconds(2999), false},
      {"a", milliseconds(3000), true}, {"a", milliseconds(4000), false},
  };
  for (const auto& s : steps) EXPECT_EQ(limit.Admit(s.who, t0 + s.at), s.admitted) << s.at.count();

  // 17 more people fill the minute (3 taken so far); the 21st command waits for the first to
  // leave the window, whoever sends it.
  for (int i = 0; i < 17; ++i) EXPECT_TRUE(limit.Admit("p" + std::to_string(i), t0 + seconds(5)));
  EXPECT_FALSE(limit.Admit("new", t0 + seconds(30)));
  EXPECT_FALSE(limit.Admit("a", t0 + seconds(59)));
  EXPECT_TRUE(limit.Admit("new", t0 + seconds(60)));
  EXPECT_FALSE(limit.Admit("other", t0 + seconds(60)));
  EXPECT_TRUE(limit.Admit("other", t0 + seconds(61)));
}

}  // namespace
}  // namespace tidemoor
