#pragma once
// Automation dates (days since 30 December 1899, the fraction the time of day) and the calendar.
// Done here rather than by the system so every build converts them the same way.

#include <cstdint>
#include <optional>
#include <string>

namespace tidemoor {

struct CalendarTime {
  int year = 0;
  int month = 0;      // 1..12
  int day = 0;        // 1..31
  int dayOfWeek = 0;  // 0 Sunday .. 6 Saturday
  int hour = 0;
  int minute = 0;
  int second = 0;
};

// Rounded to the nearest second. A negative date counts its days backwards but its fraction
// forwards: -1.25 is 29 December 1899, 06:00. Empty outside the years 100 to 9999.
std::optional<CalendarTime> AutomationDateToCalendar(double automationDate);

double CalendarToAutomationDate(const CalendarTime& time);

// Days from 1 January 1970 to the date in the proleptic Gregorian calendar (negative before it).
int64_t DaysFromCivil(int year, int month, int day);

// A moment on the machine's local clock, as the calendar shows it.
struct LocalDateTime {
  int year = 1970;
  int month = 1;
  int day = 1;
  int hour = 0;
  int minute = 0;
  int second = 0;
  int millisecond = 0;

  bool operator==(const LocalDateTime&) const = default;
};

// A moment as the tool shows it, in the status line and the backup list:
// 2024年1月23日 - 13时:05分:09秒 (year in four digits, month and day without leading zeros, a
// 24-hour clock with two digits each).
std::string DisplayTimeText(const LocalDateTime& time);

}  // namespace tidemoor
