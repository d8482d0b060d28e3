#pragma once
// Moments on the machine's local clock and the calendar arithmetic on them. Done here rather than
// by the system so every build counts days the same way.

#include <cstdint>
#include <string>

namespace tidemoor {

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

// The system clock now, as seconds since 1970 (UTC): the time the server's week keeps.
int64_t SecondsSince1970();

// A moment as the tool shows it, in the status line and the backup list:
// 2024年1月23日 - 13时:05分:09秒 (year in four digits, month and day without leading zeros, a
// 24-hour clock with two digits each).
std::string DisplayTimeText(const LocalDateTime& time);

// A moment to the minute, where a list has little room: 2024-01-23 13:05.
std::string MinuteText(const LocalDateTime& time);

}  // namespace tidemoor
