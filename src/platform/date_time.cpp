#include "platform/date_time.h"

#include <chrono>
#include <cstdio>

namespace tidemoor {

int64_t SecondsSince1970() {
  return std::chrono::duration_cast<std::chrono::seconds>(
             std::chrono::system_clock::now().time_since_epoch())
      .count();
}

int64_t DaysFromCivil(int year, int month, int day) {
  year -= month <= 2 ? 1 : 0;
  const int64_t era = (year >= 0 ? year : year - 399) / 400;
  const int64_t yearOfEra = year - era * 400;
  const int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

std::string DisplayTimeText(const LocalDateTime& time) {
  char text[96];
  std::snprintf(text, sizeof text, "%04d年%d月%d日 - %02d时:%02d分:%02d秒", time.year, time.month,
                time.day, time.hour, time.minute, time.second);
  return text;
}

std::string MinuteText(const LocalDateTime& time) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", time.year, time.month, time.day,
                time.hour, time.minute);
  return text;
}

}  // namespace tidemoor
