#pragma once
// One tool per tool directory. A second Tidemoor.exe on the same folder would take over the
// first's server, remove the backup point it is still writing, take a stop for a crash and run
// the automatic points twice.

#include <chrono>
#include <string>
#include <string_view>

namespace tidemoor {

// The name of the object the tool of this directory holds while it runs. folded is the
// directory's full path, case-folded as the file system compares names (a trailing backslash does
// not count). Global: the server, its save and the backup points are one per PC, whichever user's
// session a tool runs in.
std::string SingleToolObjectName(std::u16string_view folded);

// Where the tool that holds the folder runs, as far as a second start can tell.
enum class HoldingSession {
  Unknown,  // no process of it found (yet)
  This,     // in the second start's own Windows session
  Other,    // in another session (another user's), where its window can never be shown here
};

// What a second start sees of the tool that holds its folder, each time it looks.
struct HoldingToolSeen {
  bool released = false;     // the folder could be claimed now: that tool has ended
  bool windowShown = false;  // its main window is visible on this desktop
  HoldingSession session = HoldingSession::Unknown;
  std::chrono::milliseconds waited{0};  // since the folder was first found claimed
};

enum class SecondStart {
  Run,               // the folder is this start's now: the tool starts as usual
  BringForward,      // the running tool's window is brought forward
  KeepWaiting,       // the tool is starting or ending, without a window: look again shortly
  TellOtherSession,  // the tool runs in another session
  TellStillBusy,     // the tool showed no window and did not end within the wait
};

// How long a second start waits for a tool of this session that shows no window: one that is
// still ending (its window just closed), or still starting.
inline constexpr std::chrono::seconds kHoldingToolWait{10};

SecondStart DecideSecondStart(const HoldingToolSeen& seen);

}  // namespace tidemoor
