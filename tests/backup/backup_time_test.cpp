#include "backup/backup_time.h"

#include <gtest/gtest.h>

#include <string>

namespace tidemoor {
namespace {

LocalDateTime At(int year, int month, int day, int hour = 0, int minute = 0, int second = 0,
                 int millisecond = 0) {
  return LocalDateTime{year, month, day, hour, minute, second, millisecond};
}

// 2024-01-23 05:05:09 UTC.
constexpr char kUnixTime[] = "1705986309";

TEST(BackupStamp, EqualsTheUnixTimeInUtcPlus8AndIs28800LessInUtc) {
  EXPECT_EQ(MakeBackupStamp(At(2024, 1, 23, 13, 5, 9, 987)), kUnixTime);
  EXPECT_EQ(MakeBackupStamp(At(2024, 1, 23, 5, 5, 9, 987)), std::to_string(1705986309 - 28800));
}

TEST(BackupStamp, IsAlwaysTenCharacters) {
  // Fewer than ten digits: the milliseconds fill in, then zeros.
  EXPECT_EQ(MakeBackupStamp(At(1971, 1, 1, 8, 0, 0, 7)), "3153600000");
  EXPECT_EQ(MakeBackupStamp(At(1971, 1, 1, 8, 0, 0, 123)), "3153600012");
  EXPECT_EQ(MakeBackupStamp(At(1969, 12, 31, 8, 0, 0, 45)), "-864000450");
  EXPECT_EQ(MakeBackupStamp(At(1970, 1, 1, 8, 0, 0, 0)), "0000000000");
  // Past 2038 the count keeps growing instead of wrapping, so later points still sort last.
  EXPECT_EQ(MakeBackupStamp(At(2038, 1, 19, 11, 14, 7)), "2147483647");
  EXPECT_EQ(MakeBackupStamp(At(2040, 1, 1)), "2208960000");
}

TEST(BackupStamp, FebruaryAndMarchInLeapAndCommonYears) {
  EXPECT_EQ(MakeBackupStamp(At(2024, 2, 28, 12)), "1709092800");
  EXPECT_EQ(MakeBackupStamp(At(2024, 2, 29, 23, 59, 59)), "1709222399");
  EXPECT_EQ(MakeBackupStamp(At(2024, 3, 1)), "1709222400");
  EXPECT_EQ(MakeBackupStamp(At(2023, 2, 28, 23, 59, 59)), "1677599999");
  EXPECT_EQ(MakeBackupStamp(At(2023, 3, 1)), "1677600000");
  EXPECT_EQ(MakeBackupStamp(At(2100, 2, 28, 23, 59, 59)), "4107513599");  // no leap day in 2100
  EXPECT_EQ(MakeBackupStamp(At(2100, 3, 1)), "4107513600");
}

// Points sort by their stamps, so a day that lands in the wrong place breaks the list's order.
// Every day of a leap, a common and a century year is one day after the one before, and the last
// second of each month is one second before the next month begins.
TEST(BackupStamp, ConsecutiveDaysAscendAcrossEveryMonthBoundary) {
  auto seconds = [](const LocalDateTime& time) { return std::stoll(MakeBackupStamp(time)); };
  for (const int year : {2023, 2024, 2100}) {
    const bool leap = year % 4 == 0 && year % 100 != 0;
    const int days[] = {31, leap ? 29 : 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    long long previous = seconds(At(year - 1, 12, 31));
    for (int month = 1; month <= 12; ++month) {
      for (int day = 1; day <= days[month - 1]; ++day) {
        const long long now = seconds(At(year, month, day));
        EXPECT_EQ(now - previous, 86400) << year << "-" << month << "-" << day;
        previous = now;
      }
      const LocalDateTime next = month == 12 ? At(year + 1, 1, 1) : At(year, month + 1, 1);
      EXPECT_EQ(seconds(next) - seconds(At(year, month, days[month - 1], 23, 59, 59)), 1)
          << year << "-" << month;
    }
  }
}

TEST(BackupIndexTime, ShortensTheTimeOfDayWhenItsLastPartsAreZero) {
  EXPECT_EQ(DateTimeToText(At(2024, 1, 23, 13, 5, 9)), "2024年1月23日13时5分9秒");
  EXPECT_EQ(DateTimeToText(At(2024, 1, 23, 13, 5, 0)), "2024年1月23日13时5分");
  EXPECT_EQ(DateTimeToText(At(2024, 1, 23, 13, 0, 0)), "2024年1月23日13时");
  EXPECT_EQ(DateTimeToText(At(2024, 1, 23, 0, 5, 0)), "2024年1月23日0时5分");
  EXPECT_EQ(DateTimeToText(At(2024, 1, 23)), "2024年1月23日");
  EXPECT_EQ(DateTimeToText(At(2024, 1, 23, 0, 0, 9)), "2024年1月23日0时0分9秒");
}

TEST(BackupIndexTime, ReadsTheIndexFormAndHandEditedForms) {
  const LocalDateTime expected = At(2024, 1, 23, 13, 5, 9);
  EXPECT_EQ(TextToDateTime("2024年1月23日13时5分9秒"), expected);
  EXPECT_EQ(TextToDateTime("2024-1-23 13:05:09"), expected);
  EXPECT_EQ(TextToDateTime("２０２４－１－２３　１３：０５：０９"), expected);
  EXPECT_EQ(TextToDateTime("2024/01/23 13.05.09"), expected);
  EXPECT_EQ(TextToDateTime("1970-01-01 08:00:00"), At(1970, 1, 1, 8));
  EXPECT_EQ(TextToDateTime("2024年1月23日"), At(2024, 1, 23));
  EXPECT_EQ(TextToDateTime("2024年1月23日13时"), At(2024, 1, 23, 13));
  // Only 秒 may follow the second; what comes after it is not looked at.
  EXPECT_EQ(TextToDateTime("2024年1月23日13时5分9秒 hand note"), expected);
  EXPECT_EQ(TextToDateTime("2024年1月23日13时5分9s"), std::nullopt);
  EXPECT_EQ(TextToDateTime("2024-1-23 13:05:09 "), std::nullopt);
}

TEST(BackupIndexTime, RefusesWhatIsNotARealCalendarMoment) {
  EXPECT_EQ(TextToDateTime("2024年2月30日"), std::nullopt);
  EXPECT_EQ(TextToDateTime("2023年2月29日"), std::nullopt);
  EXPECT_EQ(TextToDateTime("2024年2月29日"), At(2024, 2, 29));
  EXPECT_EQ(TextToDateTime("1900年2月29日"), std::nullopt);
  EXPECT_EQ(TextToDateTime("2000年2月29日"), At(2000, 2, 29));
  EXPECT_EQ(TextToDateTime(""), std::nullopt);
  EXPECT_EQ(TextToDateTime("99年1月1日"), std::nullopt);
  EXPECT_EQ(TextToDateTime("2024年13月1日"), std::nullopt);
  EXPECT_EQ(TextToDateTime("2024年1月0日"), std::nullopt);
  EXPECT_EQ(TextToDateTime("2024年1月23日24时"), std::nullopt);
  EXPECT_EQ(TextToDateTime("2024年1月23日13时60分"), std::nullopt);
  EXPECT_EQ(TextToDateTime("old"), std::nullopt);
}

TEST(BackupDisplayTime, PadsTheTimeOfDayButNotTheDate) {
  EXPECT_EQ(DisplayTimeText(At(2024, 1, 23, 13, 5, 9)), "2024年1月23日 - 13时:05分:09秒");
  EXPECT_EQ(MinuteText(At(2024, 1, 3, 9, 5, 9)), "2024-01-03 09:05");
  // What a point made at 13:00:00 and one made at midnight store, read back for the list.
  EXPECT_EQ(DisplayTimeText(*TextToDateTime(DateTimeToText(At(2024, 1, 23, 13)))),
            "2024年1月23日 - 13时:00分:00秒");
  EXPECT_EQ(DisplayTimeText(*TextToDateTime(DateTimeToText(At(2024, 1, 23)))),
            "2024年1月23日 - 00时:00分:00秒");
  EXPECT_EQ(DisplayTimeText(At(2026, 12, 7, 18, 5, 9)), "2026年12月7日 - 18时:05分:09秒");
}

TEST(BackupStamp, TheNextFreeNumberFollowsTheStamp) {
  EXPECT_EQ(NextBackupStamp("1705986309"), "1705986310");
  EXPECT_EQ(NextBackupStamp("1705986399"), "1705986400");
  EXPECT_EQ(NextBackupStamp("-000000001"), "0");
}

}  // namespace
}  // namespace tidemoor
