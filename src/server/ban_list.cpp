#include "server/ban_list.h"

#include <algorithm>
#include <array>

#include "platform/text.h"
#include "server/player_records.h"

namespace tidemoor {
namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";
constexpr std::array<std::string_view, 5> kPrefixes = {"steam_", "gdk_", "ps5_", "xbox_", "mac_"};

// Where the next id starts after position from: the nearest platform prefix, npos when none.
size_t NextPrefix(std::string_view text, size_t from) {
  size_t next = std::string_view::npos;
  for (std::string_view prefix : kPrefixes) {
    next = std::min(next, text.find(prefix, from));
  }
  return next;
}

void AddIds(std::string_view line, std::vector<std::string>& ids) {
  size_t start = 0;
  while (start < line.size()) {
    size_t end = NextPrefix(line, start + 1);
    if (end == std::string_view::npos) end = line.size();
    const std::string id(TrimBlanks(line.substr(start, end - start), " \t,;"));
    if (!id.empty() && std::find(ids.begin(), ids.end(), id) == ids.end()) ids.push_back(id);
    start = end;
  }
}

}  // namespace

std::string BanListFile(const ServerPaths& paths) {
  return paths.ServerDir + "Pal\\Saved\\SaveGames\\banlist.txt";
}

std::vector<std::string> ReadBanList(std::string_view text) {
  if (text.starts_with(kUtf8Mark)) text.remove_prefix(kUtf8Mark.size());
  std::vector<std::string> ids;
  while (!text.empty()) {
    const size_t newline = text.find('\n');
    AddIds(TrimBlanks(text.substr(0, newline), " \t\r"), ids);
    if (newline == std::string_view::npos) break;
    text.remove_prefix(newline + 1);
  }
  return ids;
}

// A ban the tool made is logged as "2026-12-10 05:20:42  封禁玩家 名字 (userId)" with the reason
// or the failure after it.
std::vector<BannedPlayer> BannedPlayers(std::string_view banFile, std::string_view playersFile,
                                        std::string_view eventLog) {
  const PlayerRecords records = PlayerRecords::Read(playersFile);
  std::vector<BannedPlayer> rows;
  for (std::string& id : ReadBanList(banFile)) {
    const PlayerRecord* record = records.Find(id);
    rows.push_back({std::move(id), record ? record->name : std::string(), {}});
  }
  constexpr size_t kStamp = 19;
  constexpr std::string_view kBan = "  封禁玩家 ";
  for (std::string_view line : TextLines(eventLog)) {
    if (line.size() <= kStamp || !line.substr(kStamp).starts_with(kBan) ||
        line.find(" - 失败: ") != std::string_view::npos) {
      continue;
    }
    for (BannedPlayer& row : rows) {
      if (line.find("(" + row.userId + ")") != std::string_view::npos) {
        row.bannedAt = std::string(line.substr(0, kStamp));
      }
    }
  }
  return rows;
}

}  // namespace tidemoor
