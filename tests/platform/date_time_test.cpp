#include "platform/date_time.h"

#include <gtest/gtest.h>

namespace tidemoor {
namespace {

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

// Walks every day of a leap, a common and two century years: each date counts one day more than
// the one before, so February has 29 days exactly in 2000 and 2024.
TEST(CivilDays, ConsecutiveDaysAcrossEveryMonthBoundary) {
  for (const int year : {1900, 2000, 2023, 2024, 2100}) {
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    const int days[] = {31, leap ? 29 : 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    int64_t count = DaysFromCivil(year - 1, 12, 31);
    for (int month = 1; month <= 12; ++month) {
      for (int day = 1; day <= days[month - 1]; ++day) {
        EXPECT_EQ(DaysFromCivil(year, month, day), ++count) << year << "-" << month << "-" << day;
      }
    }
    EXPECT_EQ(DaysFromCivil(year + 1, 1, 1), count + 1) << year;
  }
}

}  // namespace
}  // namespace tidemoor
