#include "common/timer_minutes.h"

#include <algorithm>

#include "platform/text.h"

namespace tidemoor {

unsigned TimerPeriodForMinutes(std::string_view minutesText) {
  const int32_t minutes = std::clamp(TextToNumber(minutesText), 0, kLargestTimerMinutes);
  return static_cast<unsigned>(minutes) * 60000u;
}

}  // namespace tidemoor
