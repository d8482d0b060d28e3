#include "platform/date_time_win.h"

#include "platform/date_time.h"

namespace tidemoor {

LocalDateTime LocalNow() {
  SYSTEMTIME now;
  ::GetLocalTime(&now);
  return LocalDateTime{now.wYear,   now.wMonth,  now.wDay,         now.wHour,
                       now.wMinute, now.wSecond, now.wMilliseconds};
}

std::string LocalDateTimeText() {
  return DisplayTimeText(LocalNow());
}

}  // namespace tidemoor
