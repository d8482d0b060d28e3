#include "server/whitelist.h"

#include <algorithm>
#include <charconv>

#include "platform/text.h"
#include "server/player_admin.h"
#include "server/player_roster.h"

namespace tidemoor {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::string_view kLineBreaks = "\t\r\n";

// A userId a line can hold and read back: no blank or line break in it, and no comment.
bool Writable(std::string_view userId) {
  return !userId.empty() && !userId.starts_with('#') &&
         userId.find_first_of(" \t\r\n") == std::string_view::npos;
}

std::optional<WhitelistEntry> ReadLine(std::string_view line) {
  const std::vector<std::string_view> fields = TabFields(line);
  if (fields.size() > 3 || !Writable(fields[0])) return std::nullopt;
  WhitelistEntry entry{std::string(fields[0]), {}, {}};
  if (fields.size() > 1) entry.name = std::string(fields[1]);
  if (fields.size() > 2 && !fields[2].empty()) {
    int64_t added = 0;
    const std::string_view time = fields[2];
    const auto [end, error] = std::from_chars(time.data(), time.data() + time.size(), added);
    if (error != std::errc() || end != time.data() + time.size() || added < 0) return std::nullopt;
    entry.addedAt = added;
  }
  return entry;
}

std::string OneLine(std::string_view text) {
  std::string line(text);
  std::replace_if(
      line.begin(), line.end(), [](char c) { return kLineBreaks.find(c) != kLineBreaks.npos; },
      ' ');
  return line;
}

}  // namespace

std::string WhitelistFile(const ServerPaths& paths) {
  return paths.DataDir + "Whitelist.txt";
}

bool Whitelist::Lists(std::string_view userId) const {
  return std::any_of(lines.begin(), lines.end(),
                     [&](const Line& line) { return line.entry && line.entry->userId == userId; });
}

std::vector<WhitelistEntry> Whitelist::Entries() const {
  std::vector<WhitelistEntry> entries;
  for (const Line& line : lines) {
    if (line.entry) entries.push_back(*line.entry);
  }
  return entries;
}

Whitelist ReadWhitelist(std::string_view text) {
  if (text.starts_with(kUtf8Mark)) text.remove_prefix(kUtf8Mark.size());
  Whitelist whitelist;
  while (!text.empty()) {
    const size_t newline = text.find('\n');
    std::string_view line = text.substr(0, newline);
    if (line.ends_with('\r')) line.remove_suffix(1);
    if (std::optional<WhitelistEntry> entry = ReadLine(line)) {
      whitelist.lines.push_back({std::move(entry), {}});
    } else {
      whitelist.lines.push_back({std::nullopt, std::string(line)});
    }
    if (newline == std::string_view::npos) break;
    text.remove_prefix(newline + 1);
  }
  return whitelist;
}

std::string WhitelistText(const Whitelist& whitelist) {
  std::string text;
  for (const Whitelist::Line& line : whitelist.lines) {
    if (!line.entry) {
      text += line.kept;
    } else {
      text += line.entry->userId + "\t" + line.entry->name;
      if (line.entry->addedAt) text += "\t" + std::to_string(*line.entry->addedAt);
    }
    text += "\r\n";
  }
  return text;
}

bool AddToWhitelist(Whitelist& whitelist, std::string_view userId, std::string_view name,
                    int64_t now) {
  const std::string_view id = TrimBlanks(userId);
  if (!Writable(id) || whitelist.Lists(id)) return false;
  whitelist.lines.push_back({WhitelistEntry{std::string(id), OneLine(name), now}, {}});
  return true;
}

void RemoveFromWhitelist(Whitelist& whitelist, std::string_view userId) {
  std::erase_if(whitelist.lines, [&](const Whitelist::Line& line) {
    return line.entry && line.entry->userId == userId;
  });
}

std::vector<PlayerInfo> UnlistedPlayers(const std::vector<PlayerInfo>& online,
                                        const Whitelist& whitelist) {
  std::vector<PlayerInfo> unlisted;
  for (const PlayerInfo& player : online) {
    if (StillLoading(player) || whitelist.Lists(player.userId)) continue;
    const bool counted = std::any_of(unlisted.begin(), unlisted.end(), [&](const PlayerInfo& p) {
      return p.userId == player.userId;
    });
    if (!counted) unlisted.push_back(player);
  }
  return unlisted;
}

std::string UnlistedPlayersQuestion(size_t count) {
  return " 当前在线的 " + std::to_string(count) + " 名玩家不在白名单中 - 是否将他们加入白名单? ";
}

std::string WhitelistUnavailableLine(bool apiOnInSettings, bool hasAdminPassword) {
  if (!apiOnInSettings) return kApiOffLine;
  if (!hasAdminPassword) return "未设置管理员密码 - 白名单需要用管理员密码登录 REST API";
  return {};
}

std::string WhitelistKickText(const PlayerInfo& player) {
  return "白名单: 已踢出 " + PlayerLabel(player);
}

std::vector<PlayerInfo> WhitelistKicks::Decide(const std::optional<std::vector<PlayerInfo>>& online,
                                               const Whitelist& whitelist, int64_t now) {
  if (!online) return {};
  std::erase_if(lastKick_,
                [&](const auto& kick) { return now - kick.second >= kWhitelistKickGapSeconds; });
  std::vector<PlayerInfo> kicks;
  for (PlayerInfo& player : UnlistedPlayers(*online, whitelist)) {
    if (!lastKick_.emplace(player.userId, now).second) continue;
    kicks.push_back(std::move(player));
  }
  return kicks;
}

}  // namespace tidemoor
