#pragma once
// The watchman's rules around a running server: when a silent server counts as hung, when crashes
// come too fast to restart after, and when players hear of an interval restart.

#include <cstdint>
#include <deque>
#include <string_view>

namespace tidemoor {

// A server whose API has answered during this run and then stays silent this long is hung.
inline constexpr int64_t kHangMilliseconds = 3 * 60'000;

class HangWatch {
 public:
  // A new run: its API has not answered yet, and a server without the API is never hung.
  void Reset();
  // One request at a time: a silent server would otherwise collect a request per monitor tick.
  bool MayAsk() const { return !asking_; }
  void Asked() { asking_ = true; }
  void Replied(int64_t now, bool answered);
  bool Hung(int64_t now) const;
  bool AnsweredBefore() const { return answeredBefore_; }

 private:
  bool asking_ = false;
  bool answeredBefore_ = false;
  int64_t lastAnswer_ = 0;
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
