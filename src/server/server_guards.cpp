#include "server/server_guards.h"

#include <iterator>

namespace tidemoor {

void HangWatch::Reset() {
  *this = HangWatch();
}

void HangWatch::Replied(int64_t now, bool answered) {
  asking_ = false;
  if (!answered) return;
  answeredBefore_ = true;
  lastAnswer_ = now;
}

bool HangWatch::Hung(int64_t now) const {
  return answeredBefore_ && now - lastAnswer_ >= kHangMilliseconds;
}

bool CrashLoopGuard::RecordCrash(int64_t now) {
  crashes_.push_back(now);
  while (now - crashes_.front() > kCrashWindowMilliseconds) crashes_.pop_front();
  return static_cast<int>(crashes_.size()) < kCrashesThatStopRestarts;
}

int DueRestartNotice(int64_t intervalMilliseconds, int64_t elapsedMilliseconds, unsigned given) {
  const int64_t remaining = intervalMilliseconds - elapsedMilliseconds;
  if (remaining <= 0) return -1;
  // The notice closest to the restart first: once it is due, the earlier ones are past.
  for (int i = static_cast<int>(std::size(kRestartNotices)) - 1; i >= 0; --i) {
    const int64_t lead = int64_t{kRestartNotices[i].minutesBefore} * 60'000;
    if (intervalMilliseconds <= lead || remaining > lead) continue;
    return (given & (1u << i)) ? -1 : i;
  }
  return -1;
}

}  // namespace tidemoor
