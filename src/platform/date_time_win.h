#pragma once
// Date-time texts with date and time pictures, as the status line and the backup list show them.

#include <windows.h>

#include <string>
#include <string_view>

#include "platform/date_time.h"

namespace tidemoor {

// The pictures the tool shows every moment with: 2026年12月7日 - 18时:05分:09秒.
inline constexpr char kDatePicture[] = "yyyy年M月d日 - ";
inline constexpr char kTimePicture[] = "hh时:mm分:ss秒";

// An automation date (days since 30 December 1899, the fraction the time of day) as the date
// picture's text followed by the time picture's. With force24Hours the hour reads 0 to 23 even
// where the picture says hh. Empty when the value is not a valid date.
std::string FormatDateTime(double automationDate, std::string_view datePicture,
                           std::string_view timePicture, bool force24Hours, LCID locale = 0);

// The local clock now, with its milliseconds.
LocalDateTime LocalNow();

// Now, in the tool's pictures on a 24-hour clock.
std::string LocalDateTimeText();

}  // namespace tidemoor
