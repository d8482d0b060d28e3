#include "backup/auto_backup.h"

#include "common/timer_minutes.h"

namespace tidemoor {

AutoBackupDecision DecideAutoBackupTick(bool wanted, bool serverRunning,
                                        std::string_view minutesText) {
  if (wanted && serverRunning) return {true, 0};
  return {false, TimerPeriodForMinutes(minutesText)};
}

}  // namespace tidemoor
