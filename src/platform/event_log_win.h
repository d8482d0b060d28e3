#pragma once
// The event log as a UTF-8 file (PaLWorld_Data\Tidemoor.log), older events in the file beside it.

#include <string>

#include "platform/event_log.h"

namespace tidemoor {

class EventLogFile : public EventLog {
 public:
  explicit EventLogFile(std::string path) : path_(std::move(path)) {}
  // A log that cannot be written loses the event; the tool goes on.
  void Record(std::string_view text) override;
  const std::string& Path() const { return path_; }

 private:
  std::string path_;
};

}  // namespace tidemoor
