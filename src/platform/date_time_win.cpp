#include "platform/date_time_win.h"

#include "platform/codepage_win.h"
#include "platform/date_time.h"

namespace tidemoor {

// The conversion is done by the tool itself: the MinGW import library brings its own
// VariantTimeToSystemTime, which turned whole-day dates into 30 December 1899.
std::string FormatDateTime(double automationDate, std::string_view datePicture,
                           std::string_view timePicture, bool force24Hours, LCID locale) {
  const std::optional<CalendarTime> calendar = AutomationDateToCalendar(automationDate);
  if (!calendar) return {};
  SYSTEMTIME time{};
  time.wYear = static_cast<WORD>(calendar->year);
  time.wMonth = static_cast<WORD>(calendar->month);
  time.wDay = static_cast<WORD>(calendar->day);
  time.wDayOfWeek = static_cast<WORD>(calendar->dayOfWeek);
  time.wHour = static_cast<WORD>(calendar->hour);
  time.wMinute = static_cast<WORD>(calendar->minute);
  time.wSecond = static_cast<WORD>(calendar->second);
  const std::wstring date = Widen(datePicture);
  const std::wstring clock = Widen(timePicture);
  wchar_t dateText[50] = {};
  wchar_t timeText[50] = {};
  ::GetDateFormatW(locale, 0, &time, date.c_str(), dateText, 50);
  ::GetTimeFormatW(locale, force24Hours ? TIME_FORCE24HOURFORMAT : 0, &time, clock.c_str(),
                   timeText, 50);
  return Narrow(dateText) + Narrow(timeText);
}

LocalDateTime LocalNow() {
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  return LocalDateTime{now.wYear,   now.wMonth,  now.wDay,         now.wHour,
                       now.wMinute, now.wSecond, now.wMilliseconds};
}

std::string LocalDateTimeText() {
  return DisplayTimeText(LocalNow());
}

}  // namespace tidemoor
