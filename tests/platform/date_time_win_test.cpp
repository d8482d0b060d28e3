#include "platform/date_time_win.h"

#include <gtest/gtest.h>

namespace tidemoor {
namespace {

TEST(LocalDateTimeText, NowIsAValidDate) {
  EXPECT_NE(LocalDateTimeText().find("日 - "), std::string::npos);
}

}  // namespace
}  // namespace tidemoor
