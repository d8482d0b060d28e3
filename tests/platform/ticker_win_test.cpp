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
  int kept = 0, stopped = 0, replaced = 0, replacing = 0, stopsItself = 0, endsItself = 0,
      reArmsItself = 0;
  Ticker keeps, stops, zero, reArmed, selfStopping, selfReArming;
  keeps.Every(10ms, [&] { ++kept; });
  stops.Every(10ms, [&] { ++stopped; });
  stops.Stop();
  zero.Every(10ms, [&] { ++stopped; });
  zero.Every(0ms, [&] { ++stopped; });
  {
    Ticker gone;
    gone.Every(1ms, [&] { ++stopped; });
  }
  reArmed.Every(10ms, [&] { ++replaced; });
  reArmed.Every(15ms, [&] { ++replacing; });
  selfStopping.Every(10ms, [&] {
    if (++stopsItself == 3) selfStopping.Stop();
  });
  auto selfEnding = std::make_unique<Ticker>();
  selfEnding->Every(10ms, [&] {
    ++endsItself;
    selfEnding.reset();
  });
  selfReArming.Every(10ms, [&] { selfReArming.Every(10ms, [&] { ++reArmsItself; }); });

  EXPECT_TRUE(PumpUntil([&] { return kept >= 5 && replacing >= 3 && reArmsItself >= 3; }, 10s));
  PumpUntil([] { return false; }, 100ms);
  EXPECT_TRUE(keeps.Running());
  EXPECT_EQ(stopped, 0);
  EXPECT_FALSE(stops.Running() || zero.Running() || selfStopping.Running());
  EXPECT_EQ(replaced, 0);
  EXPECT_EQ(stopsItself, 3);
  EXPECT_EQ(endsItself, 1);
  EXPECT_EQ(selfEnding, nullptr);
}

}  // namespace
}  // namespace tidemoor
