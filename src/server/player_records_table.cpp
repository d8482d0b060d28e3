#include "server/player_records_table.h"

#include <algorithm>
#include <tuple>

namespace tidemoor {
namespace {

std::string Folded(std::string_view text) {
  std::string folded(text);
  for (char& c : folded) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return folded;
}

bool Matches(const PlayerRecord& record, const std::string& search) {
  if (search.empty()) return true;
  if (Folded(record.name).find(search) != std::string::npos) return true;
  if (Folded(record.userId).find(search) != std::string::npos) return true;
  return std::any_of(record.formerNames.begin(), record.formerNames.end(), [&](const auto& name) {
    return Folded(name).find(search) != std::string::npos;
  });
}

bool Before(const PlayerRecord& a, const PlayerRecord& b, RecordColumn column) {
  switch (column) {
    case RecordColumn::Name:
      return Folded(a.name) < Folded(b.name);
    case RecordColumn::UserId:
      return a.userId < b.userId;
    case RecordColumn::FirstSeen:
      return a.firstSeen < b.firstSeen;
    case RecordColumn::LastSeen:
      return a.lastSeen < b.lastSeen;
    case RecordColumn::Sessions:
      return a.sessions < b.sessions;
    case RecordColumn::Minutes:
      return a.minutesOnline < b.minutesOnline;
    case RecordColumn::FormerNames:
      return a.formerNames < b.formerNames;
  }
  return false;
}

}  // namespace

std::vector<PlayerRecord> RecordsShown(const std::vector<PlayerRecord>& records,
                                       std::string_view search, RecordColumn column,
                                       bool descending) {
  const size_t first = search.find_first_not_of(' ');
  const size_t last = search.find_last_not_of(' ');
  const std::string wanted = first == std::string_view::npos
                                 ? std::string()
                                 : Folded(search.substr(first, last - first + 1));
  std::vector<PlayerRecord> shown;
  std::copy_if(records.begin(), records.end(), std::back_inserter(shown),
               [&](const PlayerRecord& record) { return Matches(record, wanted); });
  std::stable_sort(shown.begin(), shown.end(), [&](const PlayerRecord& a, const PlayerRecord& b) {
    return descending ? Before(b, a, column) : Before(a, b, column);
  });
  return shown;
}

std::string OnlineTimeText(int64_t minutes) {
  if (minutes < 0) minutes = 0;
  const int64_t days = minutes / (24 * 60);
  const int64_t hours = minutes / 60 % 24;
  if (days > 0) return std::to_string(days) + "天" + std::to_string(hours) + "小时";
  if (hours > 0) return std::to_string(hours) + "小时" + std::to_string(minutes % 60) + "分";
  return std::to_string(minutes) + "分";
}

}  // namespace tidemoor
