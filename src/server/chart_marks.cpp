#include "server/chart_marks.h"

#include <optional>
#include <string_view>

#include "platform/date_time.h"

namespace tidemoor {
namespace {

struct LoggedEvent {
  int64_t localSeconds = 0;
  std::string_view text;
};

std::optional<int> Digits(std::string_view text, size_t at, size_t count) {
  int value = 0;
  for (size_t i = at; i < at + count; ++i) {
    if (text[i] < '0' || text[i] > '9') return std::nullopt;
    value = value * 10 + (text[i] - '0');
  }
  return value;
}

// "2026-12-09 13:05:09  text", as EventLogLine writes it.
std::optional<LoggedEvent> ReadEvent(std::string_view line) {
  constexpr size_t kStampLength = 19;
  if (line.size() < kStampLength + 2 || line[4] != '-' || line[7] != '-' || line[10] != ' ' ||
      line[13] != ':' || line[16] != ':') {
    return std::nullopt;
  }
  const auto year = Digits(line, 0, 4), month = Digits(line, 5, 2), day = Digits(line, 8, 2);
  const auto hour = Digits(line, 11, 2), minute = Digits(line, 14, 2), second = Digits(line, 17, 2);
  if (!year || !month || !day || !hour || !minute || !second || *month < 1 || *month > 12 ||
      *day < 1 || *day > 31) {
    return std::nullopt;
  }
  std::string_view text = line.substr(kStampLength);
  while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
  return LoggedEvent{
      DaysFromCivil(*year, *month, *day) * 86400 + *hour * 3600 + *minute * 60 + *second, text};
}

// The texts the server's controller logs for these events.
std::optional<ChartMarkKind> KindOf(std::string_view text) {
  if (text.starts_with("服务端已退出 (进程") || text.starts_with("服务端超过 3 分钟没有响应")) {
    return ChartMarkKind::Crash;
  }
  // The automatic restart after a crash or a hang goes with the crash's own mark.
  if (text.starts_with("定时重启服务端") || text.starts_with("为更新重启服务端") ||
      text.starts_with("内存占用过高, 重启服务端")) {
    return ChartMarkKind::Restart;
  }
  if (text.starts_with("已安全关闭服务端") || text.starts_with("强制结束服务端进程树")) {
    return ChartMarkKind::Stop;
  }
  return std::nullopt;
}

}  // namespace

std::vector<ChartMark> ChartMarksFromLog(std::string_view text, int64_t from, int64_t to,
                                         int64_t localOffset) {
  std::vector<ChartMark> marks;
  std::optional<int64_t> lastCrashOrRestart;
  while (!text.empty()) {
    const size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (line.ends_with('\r')) line.remove_suffix(1);
    const std::optional<LoggedEvent> event = ReadEvent(line);
    if (!event) continue;
    const std::optional<ChartMarkKind> kind = KindOf(event->text);
    if (!kind) continue;
    const int64_t time = event->localSeconds - localOffset;
    if (*kind == ChartMarkKind::Stop) {
      if (lastCrashOrRestart && time >= *lastCrashOrRestart &&
          time - *lastCrashOrRestart <= kMarkOwnStopSeconds) {
        continue;
      }
    } else {
      lastCrashOrRestart = time;
    }
    if (time >= from && time <= to) marks.push_back({time, *kind});
  }
  return marks;
}

}  // namespace tidemoor
