#pragma once
// The automatic backup on the main window's timer 时钟_定时保存玩家存档.

#include <string_view>

namespace tidemoor {

// What one tick of the timer does.
struct AutoBackupDecision {
  bool makePoint = false;
  // When no point is made, the timer is armed again with this period (0 stops it).
  unsigned rearmPeriod = 0;
};

// A point is made only while the box is ticked and the server runs. Otherwise the timer is armed
// again from the minutes, so unticking the box pauses the backups and ticking it again resumes
// them at the next tick, without a restart of the server.
AutoBackupDecision DecideAutoBackupTick(bool wanted, bool serverRunning,
                                        std::string_view minutesText);

}  // namespace tidemoor
