#include "backup/backup_time.h"

#include <array>
#include <cstdint>
#include <cstdio>
#include <initializer_list>

#include "platform/text.h"

namespace tidemoor {
namespace {

bool IsLeapYear(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int DaysInMonth(int year, int month) {
  static constexpr std::array<int, 12> kDays = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && IsLeapYear(year) ? 29 : kDays[month - 1];
}

// Reads one text from left to right; every step either consumes what it looks for or nothing.
class TextReader {
 public:
  explicit TextReader(std::string_view text) : text_(text) {}

  // Up to maxDigits decimal digits; none counts as 0.
  int Number(int maxDigits) {
    int value = 0;
    for (int count = 0; count < maxDigits && pos_ < text_.size(); ++count) {
      const char c = text_[pos_];
      if (c < '0' || c > '9') break;
      value = value * 10 + (c - '0');
      ++pos_;
    }
    return value;
  }

  // At most one of the separators that may stand between two parts.
  void SkipOneOf(std::initializer_list<std::string_view> separators) {
    for (const std::string_view separator : separators) {
      if (Rest().starts_with(separator)) {
        pos_ += separator.size();
        return;
      }
    }
  }

  std::string_view Rest() const { return text_.substr(pos_); }

 private:
  std::string_view text_;
  size_t pos_ = 0;
};

}  // namespace

int64_t LocalSeconds(const LocalDateTime& time) {
  return DaysFromCivil(time.year, time.month, time.day) * 86400 + time.hour * 3600 +
         time.minute * 60 + time.second;
}

std::string MakeBackupStamp(const LocalDateTime& now) {
  // The count is kept wide: a 32-bit one would turn negative in 2038 and stop sorting by time,
  // while this one keeps ten digits until the year 2286.
  constexpr int64_t kEpochSeenInUtcPlus8 = 8 * 3600;
  const int64_t seconds = LocalSeconds(now) - kEpochSeenInUtcPlus8;
  char milliseconds[8];
  std::snprintf(milliseconds, sizeof milliseconds, "%03d", now.millisecond % 1000);
  std::string stamp = std::to_string(seconds) + milliseconds;
  stamp.resize(10, '0');
  return stamp;
}

std::string NextBackupStamp(std::string_view stamp) {
  int64_t value = 0;
  bool negative = !stamp.empty() && stamp.front() == '-';
  for (const char c : stamp.substr(negative ? 1 : 0)) {
    if (c < '0' || c > '9') break;
    value = value * 10 + (c - '0');
  }
  return std::to_string(negative ? 1 - value : value + 1);
}

std::string DateTimeToText(const LocalDateTime& time) {
  std::string text = std::to_string(time.year) + "年" + std::to_string(time.month) + "月" +
                     std::to_string(time.day) + "日";
  if (time.second != 0) {
    text += std::to_string(time.hour) + "时" + std::to_string(time.minute) + "分" +
            std::to_string(time.second) + "秒";
  } else if (time.minute != 0) {
    text += std::to_string(time.hour) + "时" + std::to_string(time.minute) + "分";
  } else if (time.hour != 0) {
    text += std::to_string(time.hour) + "时";
  }
  return text;
}

std::optional<LocalDateTime> TextToDateTime(std::string_view text) {
  const std::string ascii = FullWidthToAscii(text);
  TextReader reader(ascii);
  LocalDateTime time;
  time.year = reader.Number(4);
  reader.SkipOneOf({"-", ".", "/", ":", "年"});
  time.month = reader.Number(2);
  reader.SkipOneOf({"-", ".", "/", ":", "月"});
  time.day = reader.Number(2);
  reader.SkipOneOf({" ", "-", ".", "/", ":", "日"});
  time.hour = reader.Number(2);
  reader.SkipOneOf({"-", ".", "/", ":", "时"});
  time.minute = reader.Number(2);
  reader.SkipOneOf({"-", ".", "/", ":", "分"});
  time.second = reader.Number(2);
  if (!reader.Rest().empty() && !reader.Rest().starts_with("秒")) return std::nullopt;

  const bool validDate = time.year >= 100 && time.year <= 9999 && time.month >= 1 &&
                         time.month <= 12 && time.day >= 1 &&
                         time.day <= DaysInMonth(time.year, time.month);
  const bool validTime = time.hour <= 23 && time.minute <= 59 && time.second <= 59;
  if (!validDate || !validTime) return std::nullopt;
  return time;
}

}  // namespace tidemoor
