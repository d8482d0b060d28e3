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

LocalDateTime LocalTimeOf(int64_t secondsSince1970) {
  // FILETIME counts 100 ns from 1601; 11644473600 s lie between the two starts.
  const uint64_t ticks = static_cast<uint64_t>(secondsSince1970 + 11'644'473'600LL) * 10'000'000u;
  const FILETIME utc{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
  SYSTEMTIME universal;
  SYSTEMTIME local;
  if (!::FileTimeToSystemTime(&utc, &universal) ||
      !::SystemTimeToTzSpecificLocalTime(nullptr, &universal, &local)) {
    return {};
  }
  return LocalDateTime{local.wYear,   local.wMonth,  local.wDay,         local.wHour,
                       local.wMinute, local.wSecond, local.wMilliseconds};
}

}  // namespace tidemoor
