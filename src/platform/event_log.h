#pragma once
// The tool's event log: one line per thing that happened to the user's server and saves (a
// start, a stop, a crash, a backup point, an update), so a host can look back at what the tool
// did while they were away.

#include <chrono>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>

#include "platform/date_time.h"

namespace tidemoor {

class EventLog {
 public:
  virtual ~EventLog() = default;
  // Adds one event; the log puts the local date and time in front. Line breaks in the text
  // become blanks, so one event is always one line.
  virtual void Record(std::string_view text) = 0;
};

// The line as it is written: "2026-12-09 13:05:09  text" and CR LF.
std::string EventLogLine(const LocalDateTime& when, std::string_view text);

// The log is kept under this size: once an event would carry it past, the older half of its lines
// moves to the file beside it (Tidemoor.log.1), replacing what that held; when that file cannot be
// replaced (read-only, held open), the older half is dropped instead, so the log never grows
// past this and one event whatever happens beside it.
inline constexpr size_t kEventLogLimitBytes = 1u << 20;

// The log's text cut at a line boundary near its middle: {older half, newer half}.
std::pair<std::string, std::string> SplitEventLog(std::string_view text);

// Events written by a thread of their own, made with the first event: the thread that records one
// (the window's, mostly) never waits for the disk, and the events reach the file in the order they
// were recorded.
class QueuedEventLog : public EventLog {
 public:
  // now stamps an event as it is recorded; write puts one finished line into the log, on the
  // writer's thread.
  QueuedEventLog(std::function<LocalDateTime()> now, std::function<void(const std::string&)> write);
  // Writes every event still queued, then ends the writer.
  ~QueuedEventLog() override;
  QueuedEventLog(const QueuedEventLog&) = delete;
  QueuedEventLog& operator=(const QueuedEventLog&) = delete;

  void Record(std::string_view text) override;
  // Returns once every event recorded so far is in the log (before the user opens it).
  void Flush();
  // The same, but never longer than the limit (the tool's last moment, whose disk may hang):
  // false when events were still waiting then.
  bool FlushWithin(std::chrono::milliseconds limit);
  // Returns at once; then runs on the writer's thread once every event recorded so far is in the
  // log. A log put away first still writes its events and runs it.
  void FlushThen(std::function<void()> then);

 private:
  // One entry of the writer's queue: a line to write, or what to run once those before it are.
  struct Queued {
    std::string line;
    std::function<void()> then;
  };
  void Enqueue(Queued entry);
  void WriteQueued();
  bool AllWritten() const { return queued_.empty() && !writing_; }  // under the lock

  std::function<LocalDateTime()> now_;
  std::function<void(const std::string&)> write_;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::deque<Queued> queued_;
  bool writing_ = false;  // a line taken from the queue is being written
  bool ending_ = false;
  std::thread writer_;
};

}  // namespace tidemoor
