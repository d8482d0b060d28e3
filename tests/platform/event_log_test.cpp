#include "platform/event_log.h"

#include <gtest/gtest.h>

namespace tidemoor {
namespace {

TEST(EventLog, OneEventIsOneDatedLine) {
  EXPECT_EQ(EventLogLine({2026, 12, 9, 3, 5, 9, 120}, "启动服务端 (pid 4120)"),
            "2026-12-09 03:05:09  启动服务端 (pid 4120)\r\n");
  // A player's name or a server's answer can hold line breaks; they must not forge events.
  EXPECT_EQ(EventLogLine({2026, 1, 2, 13, 0, 0, 0}, "a\r\n2026-01-01 00:00:00  b"),
            "2026-01-02 13:00:00  a  2026-01-01 00:00:00  b\r\n");
}

TEST(EventLog, RotationKeepsTheNewerHalfAndCutsBetweenLines) {
  std::string text;
  for (int i = 0; i < 100; ++i) text += "line " + std::to_string(i) + "\r\n";
  const auto [older, newer] = SplitEventLog(text);
  EXPECT_EQ(older + newer, text);
  EXPECT_TRUE(older.ends_with("\r\n"));
  EXPECT_TRUE(newer.starts_with("line "));
  EXPECT_NEAR(static_cast<double>(older.size()), text.size() / 2.0, 12.0);
  EXPECT_EQ(SplitEventLog("no line end").first, "no line end");
}

}  // namespace
}  // namespace tidemoor
