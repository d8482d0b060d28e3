#pragma once
// The stops, crashes and restarts the 运行曲线 marks on its time axis, read from the event log's
// lines: the log is what the host already trusts for what happened while they were away, and it
// holds the days the charts show.

#include <cstdint>
#include <string_view>
#include <vector>

namespace tidemoor {

enum class ChartMarkKind { Stop, Crash, Restart };

struct ChartMark {
  int64_t time = 0;  // seconds since 1970, UTC
  ChartMarkKind kind = ChartMarkKind::Stop;

  bool operator==(const ChartMark&) const = default;
};

// A stop logged this soon after a crash or a restart is that one's own (the kill after a hang, the
// safe stop a restart makes): it is not marked again.
inline constexpr int64_t kMarkOwnStopSeconds = 5 * 60;

// The marks of the log's lines (oldest first, as the log writes them: Tidemoor.log.1's text, then
// Tidemoor.log's) that fall within [from, to]. The log's local times become UTC by localOffset,
// the local clock's lead over UTC in seconds. A line that is not an event is passed over.
std::vector<ChartMark> ChartMarksFromLog(std::string_view text, int64_t from, int64_t to,
                                         int64_t localOffset);

}  // namespace tidemoor
