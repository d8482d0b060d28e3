#pragma once
// When a newer server build has been found: whether the update may run now, and otherwise which
// notice the players get and how long until the next look. Nobody is cut off without warning;
// nobody waits for players who are not there.

#include <string>
#include <string_view>

namespace tidemoor {

// Who is online as far as the server's API says; Unknown when it did not answer, which counts
// as players present, since a silent API may still have players in the world.
enum class PlayersOnline { None, Some, Unknown };

struct UpdateStep {
  bool updateNow = false;
  int noticeMinutes = 0;  // the notice to announce now ("…将在 N 分钟后…"), 0 for none
  int waitMinutes = 0;    // until the next step
  int minutesLeft = 0;    // what the countdown stands at once that wait is over
};

// minutesLeft is kNoCountdown before any notice was given, afterwards what the last step said.
inline constexpr int kNoCountdown = -1;
UpdateStep NextUpdateStep(int minutesLeft, PlayersOnline players);

// The check timer's period for the minutes the host typed; 0 (no checks) for 0, a negative or
// unreadable number. At most a week, which a Windows timer still holds.
unsigned UpdateCheckMilliseconds(std::string_view minutesText);

// "服务端有新版本，将在 N 分钟后重启更新"
std::string UpdateNotice(int minutes);

}  // namespace tidemoor
