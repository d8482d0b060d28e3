#include "platform/date_time_win.h"

#include <gtest/gtest.h>

namespace tidemoor {
namespace {

// 1 January 2027 as an automation date: days since 30 December 1899.
constexpr double kNewYear2027 = 46388.0;

TEST(FormatDateTime, ToolPicturesOnA24HourClock) {
  EXPECT_EQ(FormatDateTime(kNewYear2027, kDatePicture, kTimePicture, true),
            "2027年1月1日 - 00时:00分:00秒");
  // 7 December 2026, 18:05:09.
  const double evening = 46363.0 + (18 * 3600 + 5 * 60 + 9) / 86400.0;
  EXPECT_EQ(FormatDateTime(evening, kDatePicture, kTimePicture, true),
            "2026年12月7日 - 18时:05分:09秒");
  EXPECT_EQ(FormatDateTime(evening, "", "hh:mm", false), "06:05");
}

TEST(FormatDateTime, InvalidDateGivesEmptyText) {
  EXPECT_EQ(FormatDateTime(1e12, kDatePicture, kTimePicture, true), "");
  EXPECT_EQ(FormatDateTime(-1e12, kDatePicture, kTimePicture, true), "");
}

TEST(FormatDateTime, NowIsAValidDate) {
  EXPECT_NE(LocalDateTimeText().find("日 - "), std::string::npos);
}

}  // namespace
}  // namespace tidemoor
