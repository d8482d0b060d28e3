#pragma once
// The watchman's rules around a running server: when a silent server counts as hung, when crashes
// come too fast to restart after, and when players hear of an interval restart.

#include <cstdint>
#include <deque>
#include <string_view>

namespace tidemoor {

// A server whose API has answered during this run and then leaves this many requests in a row
// unanswered, sent at least kHangRequestSpacing apart, the first of them kHangMilliseconds ago, is
// hung.
// Every time here is awake time: a PC that slept through the silence proves nothing of the
// server, and one late or lost reply (a busy moment, a network that has just come back) does not
// either.
inline constexpr int64_t kHangMilliseconds = 3 * 60'000;
inline constexpr int kHangRequests = 3;
inline constexpr int64_t kHangRequestSpacing = 30'000;

class HangWatch {
 public:
  // A new run, or the PC has just woken up: nothing heard before counts, and a request still
  // under way is forgotten (its reply is dropped). A server without the API is never hung.
  void Reset();
  // One request at a time (a silent server would otherwise collect a request per monitor tick),
  // and while the server is silent, one every kHangRequestSpacing at most.
  bool MayAsk(int64_t now) const;
  // The request is sent now; its reply is handed back with the ticket this returns.
  uint32_t Asked(int64_t now);
  // A reply to a request of an earlier round (before a Reset) changes nothing.
  void Replied(uint32_t ticket, bool answered);
  bool Hung(int64_t now) const;

 private:
  uint32_t ticket_ = 0;  // the request under way; increases across resets
  bool asking_ = false;
  bool answeredBefore_ = false;
  int64_t lastSent_ = 0;
  int silentRequests_ = 0;  // unanswered in a row since the last answer
  int64_t firstSilentSent_ = 0;
};

inline constexpr int kCrashesThatStopRestarts = 3;
inline constexpr int64_t kCrashWindowMilliseconds = 10 * 60'000;

// A server that crashes again and again (a broken save, a bad mod) would otherwise be restarted
// for ever, each time loading and maybe damaging the save further.
class CrashLoopGuard {
 public:
  // Counts a crash; false when it is the third within ten minutes and no restart may follow.
  bool RecordCrash(int64_t now);
  // A start by the user: they have looked at the server, so counting begins anew.
  void Reset() { crashes_.clear(); }

 private:
  std::deque<int64_t> crashes_;
};

struct RestartNotice {
  int minutesBefore;
  std::string_view text;
};

inline constexpr RestartNotice kRestartNotices[] = {{5, "服务器将在 5 分钟后重启"},
                                                    {1, "服务器将在 1 分钟后重启"}};

// The notice to announce now, as an index into kRestartNotices, or -1. given holds a bit per
// notice already announced in this run. A notice is due once no more than its minutes remain; it
// is never given when it does not fit in the interval, nor once a later notice is due (a restart
// five minutes away is not announced with one minute left).
int DueRestartNotice(int64_t intervalMilliseconds, int64_t elapsedMilliseconds, unsigned given);

}  // namespace tidemoor
