#include "app/run_options.h"

#include <gtest/gtest.h>

namespace tidemoor {
namespace {

TEST(RunOptions, TheSignInSwitchAndTheTestSettingsAreReadOnce) {
  const RunOptions plain = ReadRunOptions({});
  EXPECT_FALSE(plain.atLogon);
  EXPECT_EQ(plain.tests.routerSearchPort, 0);
  EXPECT_EQ(plain.tests.addressEcho, "");
  EXPECT_EQ(plain.tests.memoryCheckMs, 0u);
  EXPECT_EQ(plain.tests.updateCheckMs, 0u);
  EXPECT_EQ(plain.tests.metricsSampleMs, 0u);

  const RunOptions tested = ReadRunOptions(
      {"--autostart",
       "--test-settings=router-search-port=41900;memory-check-ms=1000;"
       "address-echo=http://127.0.0.1:3000/ip;update-check-ms=250;metrics-sample-ms=500;"
       "remote-notice-ms=700;unknown=1"});
  EXPECT_TRUE(tested.atLogon);
  EXPECT_EQ(tested.tests.routerSearchPort, 41900);
  EXPECT_EQ(tested.tests.addressEcho, "http://127.0.0.1:3000/ip");
  EXPECT_EQ(tested.tests.memoryCheckMs, 1000u);
  EXPECT_EQ(tested.tests.updateCheckMs, 250u);
  EXPECT_EQ(tested.tests.metricsSampleMs, 500u);
  EXPECT_EQ(tested.tests.remoteNoticeMs, 700u);
}

// Whatever a shortcut says, a redirected request only ever goes to this PC.
TEST(RunOptions, AnAddressEchoElsewhereThanThisPcIsIgnored) {
  for (const char* echo : {"http://127.0.0.1.attacker.example:80/ip", "http://127.0.0.2:80/ip",
                           "https://127.0.0.1:80/ip", "http://127.0.0.1@attacker.example/ip",
                           "http://127.0.0.1:80@attacker.example/ip", "http://127.0.0.1:/ip",
                           "http://127.0.0.1:80", "http://example.com/ip"}) {
    EXPECT_EQ(
        ReadRunOptions({std::string("--test-settings=address-echo=") + echo}).tests.addressEcho, "")
        << echo;
  }
}

}  // namespace
}  // namespace tidemoor
