#include "platform/event_log.h"

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <optional>
#include <string>
#include <thread>
#include <vector>

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

TEST(QueuedEventLog, WritesEveryEventInOrderOffTheRecordingThreadAndAllBeforeItEnds) {
  std::vector<std::string> written;
  std::thread::id writer;
  {
    QueuedEventLog log([] { return LocalDateTime{2026, 12, 9, 13, 5, 9}; },
                       [&](const std::string& line) {
                         written.push_back(line);
                         writer = std::this_thread::get_id();
                       });
    log.Record("first");
    log.Flush();
    ASSERT_EQ(written.size(), 1u);
    for (int event = 0; event < 500; ++event) log.Record(std::to_string(event));
  }
  ASSERT_EQ(written.size(), 501u);
  EXPECT_EQ(written[0], "2026-12-09 13:05:09  first\r\n");
  for (int event = 0; event < 500; ++event) {
    EXPECT_EQ(written[event + 1], "2026-12-09 13:05:09  " + std::to_string(event) + "\r\n");
  }
  EXPECT_NE(writer, std::this_thread::get_id());
}

// The tool's last moment: a disk that hangs must not hold up the end, and what the writer manages
// within the limit is in the log.
TEST(QueuedEventLog, AFlushWithALimitGivesUpOnAWriterThatHangsAndSeesTheLastLineWritten) {
  std::mutex disk;
  std::vector<std::string> written;
  std::unique_lock hanging(disk);
  QueuedEventLog log([] { return LocalDateTime{2026, 12, 9, 13, 5, 9}; },
                     [&](const std::string& line) {
                       const std::lock_guard answering(disk);
                       written.push_back(line);
                     });
  log.Record("last");
  EXPECT_FALSE(log.FlushWithin(std::chrono::milliseconds(50)));
  hanging.unlock();
  ASSERT_TRUE(log.FlushWithin(std::chrono::seconds(30)));
  EXPECT_EQ(written, std::vector<std::string>{"2026-12-09 13:05:09  last\r\n"});
}

// Opening the log in the user's editor: what follows runs on the writer's thread once the events
// recorded before it are written, also when the log is put away first, and also when nothing was
// recorded before it (the writer's thread is made with the first entry, whichever kind).
TEST(QueuedEventLog, FlushThenRunsOnceTheEventsBeforeItAreWritten) {
  for (const size_t eventsBefore : {size_t{0}, size_t{2}}) {
    for (const bool putAwayFirst : {false, true}) {
      SCOPED_TRACE(testing::Message()
                   << eventsBefore << " events before, put away first " << putAwayFirst);
      std::vector<std::string> written;
      std::optional<size_t> writtenBefore;
      std::thread::id ranOn;
      {
        QueuedEventLog log([] { return LocalDateTime{2026, 12, 9, 13, 5, 9}; },
                           [&](const std::string& line) { written.push_back(line); });
        for (size_t event = 0; event < eventsBefore; ++event) log.Record("before");
        log.FlushThen([&] {
          ranOn = std::this_thread::get_id();
          writtenBefore = written.size();
        });
        log.Record("c");
        if (!putAwayFirst) log.Flush();
      }
      EXPECT_EQ(writtenBefore, eventsBefore);
      EXPECT_NE(ranOn, std::this_thread::get_id());
      EXPECT_EQ(written.size(), eventsBefore + 1);
    }
  }
}

// Most runs record nothing: flushing and putting such a log away neither waits nor writes.
TEST(QueuedEventLog, ALogThatRecordedNothingFlushesAtOnceAndWritesNothing) {
  int writes = 0;
  {
    QueuedEventLog log([] { return LocalDateTime{2026, 12, 9, 13, 5, 9}; },
                       [&](const std::string&) { ++writes; });
    EXPECT_TRUE(log.FlushWithin(std::chrono::milliseconds(0)));
    log.Flush();
  }
  EXPECT_EQ(writes, 0);
}

}  // namespace
}  // namespace tidemoor
