#pragma once
// The automatic backup on the main window's timer 时钟_定时保存玩家存档.

#include <functional>
#include <string_view>

#include "app/main_controls.h"

namespace tidemoor {

// The largest number of minutes whose milliseconds a timer takes (2,147,483,647 ms).
inline constexpr int kLargestTimerMinutes = 35791;

// The timer's period for the minutes typed into 选择_定时保存玩家存档_分钟: the leading whole
// number (full-width digits allowed). 0, no number or a negative number stop the timer; more
// than the largest count a timer takes counts as that.
unsigned AutoBackupInterval(std::string_view minutesText);

// One tick: a point is made only while the box is ticked and the server runs. Otherwise the
// timer is re-armed from the minutes, so unticking the box pauses the backups and ticking it
// again resumes them at the next tick, without a restart of the server.
void AutoBackupTick(MainControls& controls, const std::function<void()>& createBackupPoint);

}  // namespace tidemoor
