#include "platform/delay_win.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "support/pumping_wait_win.h"

namespace tidemoor {
namespace {

using namespace std::chrono_literals;

// What the controller's waits rely on: a wait runs once, a replaced or cancelled one never, and
// a wait may end its own Delay or start the next one from inside.
TEST(Delay, RunsOnceUnlessReplacedCancelledOrPutAway) {
  std::vector<int> ran;
  Delay replaced, cancelled, kept;
  replaced.After(10ms, [&] { ran.push_back(1); });
  replaced.After(20ms, [&] { ran.push_back(2); });
  cancelled.After(10ms, [&] { ran.push_back(3); });
  cancelled.Cancel();
  kept.After(30ms, [&] { ran.push_back(4); });
  {
    Delay goneFirst;
    goneFirst.After(1ms, [&] { ran.push_back(5); });
  }
  auto selfEnding = std::make_unique<Delay>();
  selfEnding->After(5ms, [&] {
    selfEnding.reset();
    ran.push_back(6);
  });
  Delay chained;
  chained.After(5ms, [&] { chained.After(5ms, [&] { ran.push_back(7); }); });

  PumpUntil([&] { return ran.size() >= 4 && !kept.Pending(); }, 5s);
  PumpUntil([] { return false; }, 100ms);
  std::sort(ran.begin(), ran.end());
  EXPECT_EQ(ran, (std::vector<int>{2, 4, 6, 7}));
  EXPECT_EQ(selfEnding, nullptr);
  EXPECT_FALSE(replaced.Pending());
  EXPECT_FALSE(cancelled.Pending());
}

}  // namespace
}  // namespace tidemoor
