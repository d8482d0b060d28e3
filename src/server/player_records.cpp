#include "server/player_records.h"

#include <algorithm>
#include <charconv>

#include "platform/text.h"
#include "server/player_roster.h"

namespace tidemoor {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

std::optional<int64_t> Count(std::string_view text) {
  int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || value < 0) {
    return std::nullopt;
  }
  return value;
}

std::optional<PlayerRecord> ReadLine(std::string_view line) {
  const std::vector<std::string_view> fields = TabFields(line);
  if (fields.size() < 6 || fields[0].empty()) return std::nullopt;
  const std::optional<int64_t> first = Count(fields[2]);
  const std::optional<int64_t> last = Count(fields[3]);
  const std::optional<int64_t> sessions = Count(fields[4]);
  const std::optional<int64_t> minutes = Count(fields[5]);
  if (!first || !last || !sessions || !minutes) return std::nullopt;
  PlayerRecord record{
      std::string(fields[0]), std::string(fields[1]), *first, *last, *sessions, *minutes, {}};
  for (size_t i = 6; i < fields.size(); ++i) {
    if (!fields[i].empty()) record.formerNames.emplace_back(fields[i]);
  }
  return record;
}

std::string OneField(std::string_view text) {
  std::string field(text);
  std::replace_if(
      field.begin(), field.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
  return field;
}

void Rename(PlayerRecord& record, std::string_view shownName) {
  const std::string name = OneField(shownName);
  if (name == record.name) return;
  std::erase(record.formerNames, name);
  if (!record.name.empty()) {
    std::erase(record.formerNames, record.name);
    record.formerNames.push_back(record.name);
  }
  record.name = name;
}

}  // namespace

std::string PlayerRecordsFile(const ServerPaths& paths) {
  return paths.DataDir + "Players.tsv";
}

PlayerRecords PlayerRecords::Read(std::string_view text) {
  if (text.starts_with(kUtf8Mark)) text.remove_prefix(kUtf8Mark.size());
  PlayerRecords records;
  bool first = true;
  while (!text.empty()) {
    const size_t newline = text.find('\n');
    std::string_view line = text.substr(0, newline);
    if (line.ends_with('\r')) line.remove_suffix(1);
    const bool header = first && line.starts_with("userId\t");
    first = false;
    std::optional<PlayerRecord> record = header ? std::nullopt : ReadLine(line);
    if (record && !records.Find(record->userId)) {
      records.records_.push_back(std::move(*record));
    } else if (!header && !line.empty()) {
      records.damaged_.emplace_back(line);
    }
    if (newline == std::string_view::npos) break;
    text.remove_prefix(newline + 1);
  }
  return records;
}

std::string PlayerRecords::Text() const {
  std::string text = std::string(kPlayerRecordsHeader) + "\r\n";
  for (const PlayerRecord& record : records_) {
    text += record.userId + "\t" + record.name + "\t" + std::to_string(record.firstSeen) + "\t" +
            std::to_string(record.lastSeen) + "\t" + std::to_string(record.sessions) + "\t" +
            std::to_string(record.minutesOnline);
    for (const std::string& name : record.formerNames) text += "\t" + name;
    text += "\r\n";
  }
  for (const std::string& line : damaged_) text += line + "\r\n";
  return text;
}

const PlayerRecord* PlayerRecords::Find(std::string_view userId) const {
  const auto found =
      std::find_if(records_.begin(), records_.end(),
                   [&](const PlayerRecord& record) { return record.userId == userId; });
  return found == records_.end() ? nullptr : &*found;
}

PlayerRecord* PlayerRecords::Record(std::string_view userId) {
  return const_cast<PlayerRecord*>(Find(userId));
}

void PlayerRecords::Join(const PlayerInfo& player, int64_t now) {
  if (StillLoading(player) || player.userId.find_first_of("\t\r\n") != std::string::npos) return;
  PlayerRecord* record = Record(player.userId);
  if (!record) {
    records_.push_back({player.userId, {}, now, now, 0, 0, {}});
    record = &records_.back();
  } else if (countedUntil_.contains(player.userId)) {
    Count(*record, now);
    return;  // already online: no new session
  }
  Rename(*record, player.name);
  record->sessions += 1;
  record->lastSeen = now;
  countedUntil_[player.userId] = now;
}

void PlayerRecords::Leave(std::string_view userId, int64_t now) {
  PlayerRecord* record = Record(userId);
  if (!record || !countedUntil_.contains(userId)) return;
  Count(*record, now);
  countedUntil_.erase(countedUntil_.find(userId));
}

bool PlayerRecords::NoteNames(const std::vector<PlayerInfo>& online) {
  bool changed = false;
  for (const PlayerInfo& player : online) {
    PlayerRecord* record = countedUntil_.contains(player.userId) ? Record(player.userId) : nullptr;
    if (!record || record->name == OneField(player.name)) continue;
    Rename(*record, player.name);
    changed = true;
  }
  return changed;
}

void PlayerRecords::CountOnline(int64_t now) {
  for (const auto& [userId, since] : countedUntil_) {
    if (PlayerRecord* record = Record(userId)) Count(*record, now);
  }
}

void PlayerRecords::EveryoneLeft(int64_t now) {
  CountOnline(now);
  countedUntil_.clear();
}

void PlayerRecords::Count(PlayerRecord& record, int64_t now) {
  int64_t& since = countedUntil_.find(record.userId)->second;
  const int64_t minutes = now > since ? (now - since) / 60 : 0;
  record.minutesOnline += minutes;
  since += minutes * 60;
  record.lastSeen = std::max(record.lastSeen, now);
}

}  // namespace tidemoor
