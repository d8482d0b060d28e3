#include "platform/event_log_win.h"

#include <gtest/gtest.h>

#include "platform/codepage_win.h"
#include "support/e2e_win.h"

namespace tidemoor {
namespace {

TEST(EventLogFile, AppendsLinesAndMovesTheOlderHalfAsideBeforeOneMebibyte) {
  testing::TempToolDirectory dir("event log");
  EventLogFile log(dir.File("Tidemoor.log"));
  log.Record("第一件事");
  log.Record("second");
  log.Flush();
  const std::string two = dir.ReadBytes("Tidemoor.log");
  EXPECT_NE(two.find("  第一件事\r\n"), std::string::npos);
  EXPECT_TRUE(two.ends_with("  second\r\n"));

  std::string before = two;
  while (before.size() < kEventLogLimitBytes - 100) before += std::string(98, 'x') + "\r\n";
  dir.WriteBytes("Tidemoor.log", before);
  log.Record("the last straw");
  log.Flush();
  const std::string kept = dir.ReadBytes("Tidemoor.log");
  const std::string aside = dir.ReadBytes("Tidemoor.log.1");
  EXPECT_LT(kept.size(), kEventLogLimitBytes / 2 + 200);
  EXPECT_TRUE(kept.ends_with("  the last straw\r\n"));
  EXPECT_TRUE(aside.starts_with(two));
  // Nothing is lost: the older half beside the log, then the newer half and the new event in it.
  const size_t newLine = kept.rfind("\r\n", kept.size() - 3) + 2;
  EXPECT_TRUE(aside + kept.substr(0, newLine) == before);
}

// Tidemoor.log.1 cannot be replaced (read-only here; held open by an editor does the same): the
// log drops its older half instead of growing, and appends without reading itself back.
TEST(EventLogFile, StaysUnderTheLimitWhenTheOlderHalfCannotMoveAside) {
  testing::TempToolDirectory dir("event log stuck");
  dir.WriteBytes("Tidemoor.log.1", "older\r\n");
  ASSERT_TRUE(
      ::SetFileAttributesW(Widen(dir.File("Tidemoor.log.1")).c_str(), FILE_ATTRIBUTE_READONLY));
  std::string before;
  while (before.size() < kEventLogLimitBytes - 100) before += std::string(98, 'x') + "\r\n";
  dir.WriteBytes("Tidemoor.log", before);
  {
    EventLogFile log(dir.File("Tidemoor.log"));
    for (int event = 0; event < 5'000; ++event) {
      log.Record("event " + std::to_string(event) + std::string(280, '.'));
    }
  }  // closing the log writes what is still queued
  const std::string kept = dir.ReadBytes("Tidemoor.log");
  EXPECT_LE(kept.size(), kEventLogLimitBytes);
  EXPECT_GT(kept.size(), kEventLogLimitBytes / 2);
  EXPECT_TRUE(kept.ends_with("event 4999" + std::string(280, '.') + "\r\n"));
  EXPECT_EQ(dir.ReadBytes("Tidemoor.log.1"), "older\r\n");
  // The newest events are all there, in order.
  const size_t from = kept.find("  event 4000.");
  ASSERT_NE(from, std::string::npos);
  size_t at = from;
  for (int event = 4001; event < 5'000; ++event) {
    at = kept.find("  event " + std::to_string(event) + ".", at);
    ASSERT_NE(at, std::string::npos) << event;
  }
  ::SetFileAttributesW(Widen(dir.File("Tidemoor.log.1")).c_str(), FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
}  // namespace tidemoor
