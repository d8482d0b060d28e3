#include "platform/event_log_win.h"

#include <gtest/gtest.h>

#include "support/e2e_win.h"

namespace tidemoor {
namespace {

TEST(EventLogFile, AppendsLinesAndMovesTheOlderHalfAsideBeforeOneMebibyte) {
  testing::TempToolDirectory dir("event log");
  EventLogFile log(dir.File("Tidemoor.log"));
  log.Record("第一件事");
  log.Record("second");
  const std::string two = dir.ReadBytes("Tidemoor.log");
  EXPECT_NE(two.find("  第一件事\r\n"), std::string::npos);
  EXPECT_TRUE(two.ends_with("  second\r\n"));

  std::string before = two;
  while (before.size() < kEventLogLimitBytes - 100) before += std::string(98, 'x') + "\r\n";
  dir.WriteBytes("Tidemoor.log", before);
  log.Record("the last straw");
  const std::string kept = dir.ReadBytes("Tidemoor.log");
  const std::string aside = dir.ReadBytes("Tidemoor.log.1");
  EXPECT_LT(kept.size(), kEventLogLimitBytes / 2 + 200);
  EXPECT_TRUE(kept.ends_with("  the last straw\r\n"));
  EXPECT_TRUE(aside.starts_with(two));
  // Nothing is lost: the older half beside the log, then the newer half and the new event in it.
  const size_t newLine = kept.rfind("\r\n", kept.size() - 3) + 2;
  EXPECT_TRUE(aside + kept.substr(0, newLine) == before);
}

}  // namespace
}  // namespace tidemoor
