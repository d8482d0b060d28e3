#include "net/alert_settings.h"

#include <gtest/gtest.h>

namespace tidemoor {
namespace {

TEST(AlertEvents, TheListNamesExactlyTheTickedKinds) {
  using E = AlertEvent;
  const struct {
    const char* list;
    std::array<bool, kAlertEventCount> chosen;  // in AlertEvent's order
    const char* written;
  } cases[] = {
      {kDefaultNotifyEvents, {1, 1, 1, 1, 1, 1, 0, 1}, kDefaultNotifyEvents},
      {"", {0, 0, 0, 0, 0, 0, 0, 0}, ""},
      {" players , crash", {1, 0, 0, 0, 0, 0, 1, 0}, "crash,players"},
      {"crashloop", {0, 1, 0, 0, 0, 0, 0, 0}, "crashloop"},
      {"Crash,crashes,,start,", {0, 0, 0, 0, 0, 0, 0, 1}, "start"},
  };
  for (const auto& c : cases) {
    std::array<bool, kAlertEventCount> chosen{};
    for (int i = 0; i < kAlertEventCount; ++i) {
      chosen[i] = AlertEventChosen(c.list, static_cast<E>(i));
    }
    EXPECT_EQ(chosen, c.chosen) << c.list;
    EXPECT_EQ(NotifyEventsText(chosen), c.written) << c.list;
  }
}

}  // namespace
}  // namespace tidemoor
