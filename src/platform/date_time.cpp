#include "platform/date_time.h"

#include <cmath>
#include <cstdint>
#include <cstdio>

namespace tidemoor {
namespace {

constexpr double kFirstValidDate = -657434.0;     // 1 January 100
constexpr double kPastLastValidDate = 2958466.0;  // 1 January 10000
constexpr int64_t kDaysFrom1899To1970 = 25569;    // 30 December 1899 -> 1 January 1970
constexpr int64_t kSecondsPerDay = 86400;

// Days since 1 January 1970 to and from the proleptic Gregorian calendar.
void CivilFromDays(int64_t days, int& year, int& month, int& day) {
  days += 719468;
  const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const int64_t dayOfEra = days - era * 146097;
  const int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const int64_t monthIndex = (5 * dayOfYear + 2) / 153;
  day = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
  month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
  year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
}

}  // namespace

int64_t DaysFromCivil(int year, int month, int day) {
  year -= month <= 2 ? 1 : 0;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const int64_t yearOfEra = year - era * 400;
  const int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

std::optional<CalendarTime> AutomationDateToCalendar(double automationDate) {
  if (!(automationDate >= kFirstValidDate && automationDate < kPastLastValidDate)) {
    return std::nullopt;
  }
  const double wholeDays = std::trunc(automationDate);
  int64_t day = static_cast<int64_t>(wholeDays);
  int64_t seconds = std::llround(std::fabs(automationDate - wholeDays) * kSecondsPerDay);
  if (seconds >= kSecondsPerDay) {  // rounded up into the next calendar day
    seconds -= kSecondsPerDay;
    ++day;
  }
  const int64_t unixDays = day - kDaysFrom1899To1970;
  CalendarTime time;
  CivilFromDays(unixDays, time.year, time.month, time.day);
  if (time.year > 9999) return std::nullopt;
  time.dayOfWeek = static_cast<int>(((unixDays + 4) % 7 + 7) % 7);  // 1 January 1970: Thursday
  time.hour = static_cast<int>(seconds / 3600);
  time.minute = static_cast<int>(seconds / 60 % 60);
  time.second = static_cast<int>(seconds % 60);
  return time;
}

double CalendarToAutomationDate(const CalendarTime& time) {
  const double day =
      static_cast<double>(DaysFromCivil(time.year, time.month, time.day) + kDaysFrom1899To1970);
  const double fraction =
      (time.hour * 3600 + time.minute * 60 + time.second) / static_cast<double>(kSecondsPerDay);
  return day >= 0 ? day + fraction : day - fraction;
}

std::string DisplayTimeText(const LocalDateTime& time) {
  char text[96];
  std::snprintf(text, sizeof text, "%04d年%d月%d日 - %02d时:%02d分:%02d秒", time.year, time.month,
                time.day, time.hour, time.minute, time.second);
  return text;
}

}  // namespace tidemoor
