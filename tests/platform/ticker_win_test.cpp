#include "platform/ticker_win.h"

#include <gtest/gtest.h>

#include <memory>

#include "support/pumping_wait_win.h"

namespace tidemoor {
namespace {

using namespace std::chrono_literals;

// What the main window's timers rely on: a Ticker ticks until it is stopped, re-armed with a
// period of 0 or put away; re-arming replaces the function; and a tick may stop, re-arm or put
// away its own Ticker.
TEST(Ticker, TicksUntilStoppedReArmedOrPutAway) {
  int kept = 0, stopped = 0, zeroed = 0, replaced = 0, replacing = 0, selfStopping = 0,
      selfEnding = 0, goneFirst = 0, beforeReArm = 0, afterReArm = 0;
  Ticker keeps, stops, zero, reArmed, stopsItself, reArmsItself;
  keeps.Every(10ms, [&] { ++kept; });
  stops.Every(10ms, [&] { ++stopped; });
  stops.Stop();
  zero.Every(10ms, [&] { ++zeroed; });
  zero.Every(0ms, [&] { ++zeroed; });
  reArmed.Every(10ms, [&] { ++replaced; });
  reArmed.Every(15ms, [&] { ++replacing; });
  stopsItself.Every(10ms, [&] {
    if (++selfStopping == 3) stopsItself.Stop();
  });
  auto endsItself = std::make_unique<Ticker>();
  endsItself->Every(10ms, [&] {
    ++selfEnding;
    endsItself.reset();
  });
  {
    Ticker gone;
    gone.Every(1ms, [&] { ++goneFirst; });
  }
  reArmsItself.Every(10ms, [&] {
    ++beforeReArm;
    reArmsItself.Every(10ms, [&] { ++afterReArm; });
  });

  EXPECT_TRUE(PumpUntil([&] { return kept >= 5 && replacing >= 3 && afterReArm >= 3; }, 10s));
  PumpUntil([] { return false; }, 100ms);
  EXPECT_TRUE(keeps.Running());
  EXPECT_EQ(stopped, 0);
  EXPECT_FALSE(stops.Running());
  EXPECT_EQ(zeroed, 0);
  EXPECT_FALSE(zero.Running());
  EXPECT_EQ(replaced, 0);
  EXPECT_EQ(selfStopping, 3);
  EXPECT_FALSE(stopsItself.Running());
  EXPECT_EQ(selfEnding, 1);
  EXPECT_EQ(endsItself, nullptr);
  EXPECT_EQ(goneFirst, 0);
  EXPECT_EQ(beforeReArm, 1);
}

}  // namespace
}  // namespace tidemoor
