#include "server/server_guards.h"

#include <iterator>

namespace tidemoor {

void HangWatch::Reset() {
  const uint32_t ticket = ticket_;
  *this = HangWatch();
  ticket_ = ticket + 1;
}

bool HangWatch::MayAsk(int64_t now) const {
  return !asking_ && (silentRequests_ == 0 || now - lastSent_ >= kHangRequestSpacing);
}

uint32_t HangWatch::Asked(int64_t now) {
  asking_ = true;
  lastSent_ = now;
  return ++ticket_;
}

void HangWatch::Replied(uint32_t ticket, bool answered) {
  if (ticket != ticket_ || !asking_) return;
  asking_ = false;
  if (answered) {
    answeredBefore_ = true;
    silentRequests_ = 0;
    return;
  }
  if (!answeredBefore_) return;
  if (silentRequests_++ == 0) firstSilentSent_ = lastSent_;
}

bool HangWatch::Hung(int64_t now) const {
  return silentRequests_ >= kHangRequests && now - firstSilentSent_ >= kHangMilliseconds;
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
