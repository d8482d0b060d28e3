#include "platform/date_time.h"

#include <gtest/gtest.h>

#include <cmath>

namespace tidemoor {
namespace {

void ExpectCalendar(double date, int year, int month, int day, int hour, int minute, int second) {
  const std::optional<CalendarTime> time = AutomationDateToCalendar(date);
  ASSERT_TRUE(time) << date;
  EXPECT_EQ(time->year, year) << date;
  EXPECT_EQ(time->month, month) << date;
  EXPECT_EQ(time->day, day) << date;
  EXPECT_EQ(time->hour, hour) << date;
  EXPECT_EQ(time->minute, minute) << date;
  EXPECT_EQ(time->second, second) << date;
}

TEST(CivilDays, CountsFromTheFirstOfJanuary1970) {
  struct Case {
    int year, month, day;
    int64_t days;
  };
  for (const Case& c : {Case{1970, 1, 1, 0}, Case{1969, 12, 31, -1}, Case{2000, 3, 1, 11017},
                        Case{2024, 2, 29, 19782}, Case{1899, 12, 30, -25569},
                        Case{100, 1, 1, -683003}, Case{9999, 12, 31, 2932896}}) {
    EXPECT_EQ(DaysFromCivil(c.year, c.month, c.day), c.days)
        << c.year << '-' << c.month << '-' << c.day;
  }
}

TEST(AutomationDate, WholeAndFractionalDays) {
  ExpectCalendar(0.0, 1899, 12, 30, 0, 0, 0);
  ExpectCalendar(46388.0, 2027, 1, 1, 0, 0, 0);
  ExpectCalendar(46363.0 + (18 * 3600 + 5 * 60 + 9) / 86400.0, 2026, 12, 7, 18, 5, 9);
  ExpectCalendar(60.0, 1900, 2, 28, 0, 0, 0);
  ExpectCalendar(61.0, 1900, 3, 1, 0, 0, 0);  // 1900 was no leap year
  ExpectCalendar(-1.25, 1899, 12, 29, 6, 0, 0);
  ExpectCalendar(46387.0 + 86399.6 / 86400.0, 2027, 1, 1, 0, 0, 0);  // rounds into the next day
  EXPECT_EQ(AutomationDateToCalendar(46388.0)->dayOfWeek, 5);        // a Friday
}

TEST(AutomationDate, EndOfFebruaryInLeapAndCommonYears) {
  ExpectCalendar(45350.0, 2024, 2, 28, 0, 0, 0);
  ExpectCalendar(45351.5, 2024, 2, 29, 12, 0, 0);
  ExpectCalendar(45352.0, 2024, 3, 1, 0, 0, 0);
  ExpectCalendar(44985.0, 2023, 2, 28, 0, 0, 0);
  ExpectCalendar(44986.0, 2023, 3, 1, 0, 0, 0);
  ExpectCalendar(36585.0, 2000, 2, 29, 0, 0, 0);
  ExpectCalendar(73109.0, 2100, 2, 28, 0, 0, 0);
  ExpectCalendar(73110.0, 2100, 3, 1, 0, 0, 0);
  EXPECT_EQ(CalendarToAutomationDate({2024, 2, 29}), 45351.0);
  EXPECT_EQ(CalendarToAutomationDate({2024, 3, 1}), 45352.0);
  EXPECT_EQ(CalendarToAutomationDate({2023, 3, 1}), 44986.0);
  EXPECT_EQ(CalendarToAutomationDate({2100, 3, 1}), 73110.0);
}

// Walks every day of a leap, a common and two century years both ways: each date is the day
// after the one before, in the calendar and in the day count alike.
TEST(AutomationDate, ConsecutiveDaysAcrossEveryMonthBoundary) {
  for (const int year : {1900, 2000, 2023, 2024}) {
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    const int days[] = {31, leap ? 29 : 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    double date = CalendarToAutomationDate({year - 1, 12, 31});
    for (int month = 1; month <= 12; ++month) {
      for (int day = 1; day <= days[month - 1]; ++day) {
        ++date;
        EXPECT_EQ(CalendarToAutomationDate({year, month, day}), date)
            << year << "-" << month << "-" << day;
        const std::optional<CalendarTime> time = AutomationDateToCalendar(date);
        ASSERT_TRUE(time);
        EXPECT_EQ(time->year * 10000 + time->month * 100 + time->day,
                  year * 10000 + month * 100 + day)
            << date;
      }
    }
    EXPECT_EQ(CalendarToAutomationDate({year + 1, 1, 1}), date + 1) << year;
  }
}

TEST(AutomationDate, OutsideTheYears100To9999IsNoDate) {
  EXPECT_FALSE(AutomationDateToCalendar(1e12));
  EXPECT_FALSE(AutomationDateToCalendar(-1e12));
  EXPECT_FALSE(AutomationDateToCalendar(2958466.0));
  EXPECT_FALSE(AutomationDateToCalendar(std::nan("")));
  ExpectCalendar(2958465.0, 9999, 12, 31, 0, 0, 0);
  ExpectCalendar(-657434.0, 100, 1, 1, 0, 0, 0);
}

TEST(AutomationDate, CalendarRoundTrip) {
  for (double date : {46388.0, 46363.5, -1.25, 0.75, 2958465.0}) {
    const std::optional<CalendarTime> time = AutomationDateToCalendar(date);
    ASSERT_TRUE(time);
    EXPECT_DOUBLE_EQ(CalendarToAutomationDate(*time), date);
  }
}

}  // namespace
}  // namespace tidemoor
