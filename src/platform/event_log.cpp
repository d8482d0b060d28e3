#include "platform/event_log.h"

#include <cstdio>

namespace tidemoor {

std::string EventLogLine(const LocalDateTime& when, std::string_view text) {
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d:%02d:%02d  ", when.year, when.month,
                when.day, when.hour, when.minute, when.second);
  std::string line = stamp;
  for (const char c : text) line += (c == '\r' || c == '\n') ? ' ' : c;
  return line + "\r\n";
}

std::pair<std::string, std::string> SplitEventLog(std::string_view text) {
  size_t cut = text.find('\n', text.size() / 2);
  cut = cut == std::string_view::npos ? text.size() : cut + 1;
  return {std::string(text.substr(0, cut)), std::string(text.substr(cut))};
}

}  // namespace tidemoor
