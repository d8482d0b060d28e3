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
