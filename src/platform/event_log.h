#pragma once
// The tool's event log: one line per thing that happened to the user's server and saves (a
// start, a stop, a crash, a backup point, an update), so a host can look back at what the tool
// did while they were away.

#include <cstddef>
#include <string>
#include <string_view>
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
// moves to the file beside it (Tidemoor.log.1), replacing what that held.
inline constexpr size_t kEventLogLimitBytes = 1u << 20;

// The log's text cut at a line boundary near its middle: {older half, newer half}.
std::pair<std::string, std::string> SplitEventLog(std::string_view text);

}  // namespace tidemoor
