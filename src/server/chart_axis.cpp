#include "server/chart_axis.h"

#include <cstdio>

#include "server/memory_guard.h"

namespace tidemoor {
namespace {

struct CivilDate {
  int year, month, day;
};

// The inverse of DaysFromCivil, in the proleptic Gregorian calendar.
CivilDate CivilFromDays(int64_t days) {
  days += 719468;
  const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const int64_t dayOfEra = days - era * 146097;
  const int64_t yearOfEra =
      (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const int64_t shiftedMonth = (5 * dayOfYear + 2) / 153;
  const int day = static_cast<int>(dayOfYear - (153 * shiftedMonth + 2) / 5 + 1);
  const int month = static_cast<int>(shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9);
  return {static_cast<int>(yearOfEra + era * 400 + (month <= 2)), month, day};
}

int64_t FloorDiv(int64_t value, int64_t by) {
  const int64_t quotient = value / by;
  return quotient * by > value ? quotient - 1 : quotient;
}

std::string DayText(int64_t localSeconds) {
  const CivilDate date = CivilFromDays(FloorDiv(localSeconds, kDaySeconds));
  return std::to_string(date.month) + "月" + std::to_string(date.day) + "日";
}

std::string ClockText(int64_t localSeconds) {
  const int64_t ofDay = localSeconds - FloorDiv(localSeconds, kDaySeconds) * kDaySeconds;
  char text[8];
  std::snprintf(text, sizeof text, "%02d:%02d", static_cast<int>(ofDay / 3600),
                static_cast<int>(ofDay / 60 % 60));
  return text;
}

}  // namespace

std::vector<ChartTick> ChartTicks(int64_t from, int64_t to, int64_t localOffset) {
  std::vector<ChartTick> ticks;
  if (to <= from) return ticks;
  const bool hours = to - from <= kDaySeconds;
  const int64_t step = hours ? 3 * 60 * 60 : kDaySeconds;
  const int64_t localFrom = from + localOffset;
  for (int64_t local = FloorDiv(localFrom + step - 1, step) * step; local <= to + localOffset;
       local += step) {
    ticks.push_back({static_cast<double>(local - localFrom) / static_cast<double>(to - from),
                     hours ? ClockText(local) : DayText(local)});
  }
  return ticks;
}

std::string ChartPointerText(const MetricsSample& sample, int64_t localOffset) {
  const int64_t local = sample.time + localOffset;
  return DayText(local) + " " + ClockText(local) + "  ·  在线 " + std::to_string(sample.players) +
         "  ·  FPS " + std::to_string(sample.fps) + "  ·  内存 " + MemoryText(sample.memoryBytes);
}

}  // namespace tidemoor
