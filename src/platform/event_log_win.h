#pragma once
// The event log as a UTF-8 file (PaLWorld_Data\Tidemoor.log), older events in the file beside it.

#include <functional>
#include <memory>
#include <string>

#include "platform/event_log.h"

namespace tidemoor {

class EventLogFile : public EventLog {
 public:
  explicit EventLogFile(std::string path);
  // Queued for the writer's thread; a log that cannot be written loses the event and the tool
  // goes on.
  void Record(std::string_view text) override { queue_.Record(text); }
  // Returns once every event recorded so far is in the file.
  void Flush() { queue_.Flush(); }
  bool FlushWithin(std::chrono::milliseconds limit) { return queue_.FlushWithin(limit); }
  // Returns at once; then runs on the window's thread, between its messages, once every event
  // recorded so far is in the file, unless this log has been put away by then.
  void FlushThen(std::function<void()> then);
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
  QueuedEventLog queue_;
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

// Appends one line to the log at path, first making room as kEventLogLimitBytes asks. The file is
// never read whole but to make room. Exposed for the benchmark.
void AppendEventLine(const std::string& path, std::string_view line);

}  // namespace tidemoor
