#include "backup/auto_backup.h"

#include <algorithm>

#include "platform/text.h"

namespace tidemoor {

unsigned AutoBackupInterval(std::string_view minutesText) {
  const int32_t minutes = std::clamp(TextToNumber(minutesText), 0, kLargestTimerMinutes);
  return static_cast<unsigned>(minutes) * 60000u;
}

void AutoBackupTick(MainControls& controls, const std::function<void()>& createBackupPoint) {
  const bool wanted = controls.IsTicked(MainControl::AutoBackupBox);
  const bool serverRunning = controls.Text(MainControl::StartButton) == kStopCaption;
  if (wanted && serverRunning) {
    createBackupPoint();
    return;
  }
  controls.SetTimerInterval(MainControl::AutoBackupTimer,
                            AutoBackupInterval(controls.Text(MainControl::AutoBackupMinutes)));
}

}  // namespace tidemoor
