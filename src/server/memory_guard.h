#pragma once
// When a server that keeps growing gets restarted: its working set is checked once a minute, and
// only a limit overstepped three checks in a row counts (a save or a boss fight makes short
// peaks). With nobody online the restart comes at once; with players online they are told 5 and
// 1 minutes before it. Minutes are counted in checks, so the rule needs no clock.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tidemoor {

// Memory_Restart_GB as typed: a number of GB (1 GB = 1024³ bytes, as Task Manager counts them),
// decimals allowed ("0.5", "9.5"). Empty, 0 or anything that is not a positive number is off
// (nullopt).
std::optional<uint64_t> MemoryLimitBytes(std::string_view typed);

// "9.4 GB", or "512 MB" below one GB, where a tenth of a GB would say little.
std::string MemoryText(uint64_t bytes);

inline constexpr int kMemoryChecksOverLimit = 3;
inline constexpr int kMemoryRestartNoticeMinutes[] = {5, 1};

// "服务器内存占用过高，将在 5 分钟后重启"
std::string MemoryRestartNotice(int minutes);

struct MemoryStep {
  enum class Action { None, Notice, Restart };
  Action action = Action::None;
  int minutes = 0;  // for a notice: the minutes left until the restart
};

class MemoryGuard {
 public:
  // One check. over: the working set was read and is above the limit. playersOnline: who the
  // server says is online; nullopt when it did not say, which counts as someone there (a
  // restart without warning is worse than one that waits five minutes).
  MemoryStep Check(bool over, std::optional<int> playersOnline);
  // Whether the next check with this reading needs to know who is online.
  bool NeedsPlayers(bool over) const;
  // A new run, or the limit switched off: everything starts over.
  void Reset();
  int ChecksOver() const { return checksOver_; }

 private:
  int checksOver_ = 0;
  // Minutes until the announced restart; nullopt while none is announced.
  std::optional<int> minutesLeft_;
  // The restart was due but has not happened (a backup copy was reading the save): it stays due.
  bool restartDue_ = false;
};

}  // namespace tidemoor
