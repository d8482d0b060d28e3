#pragma once
// The players allowed on the server while 只允许白名单中的玩家 is ticked, and what the tool does
// about everyone else. Kept in PaLWorld_Data\Whitelist.txt, UTF-8, one line per player: the userId,
// a tab, the name when known, and a tab and the moment it was added (seconds since 1970, UTC) when
// the tool added it. A userId is opaque text, kept as typed with whatever prefix it has. Lines the
// tool cannot read (an edit by hand, a later version's) are kept as they are.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/server_paths.h"
#include "server/rest_api.h"

namespace tidemoor {

inline constexpr char kWhitelistKickMessage[] = " 你不在本服务器的白名单中 ";
inline constexpr char kEmptyWhitelistRefusal[] = " 白名单为空 - 请先添加玩家 ";
// Between two kicks of one player: a kick that fails is not sent again at every poll.
inline constexpr int64_t kWhitelistKickGapSeconds = 30;

std::string WhitelistFile(const ServerPaths& paths);  // PaLWorld_Data\Whitelist.txt

struct WhitelistEntry {
  std::string userId;
  std::string name;                // empty when not known
  std::optional<int64_t> addedAt;  // seconds since 1970 (UTC); not known for a line by hand

  bool operator==(const WhitelistEntry&) const = default;
};

struct Whitelist {
  // One line of the file: an entry, or the text of a line that is none, kept.
  struct Line {
    std::optional<WhitelistEntry> entry;
    std::string kept;
  };
  std::vector<Line> lines;

  bool Lists(std::string_view userId) const;
  std::vector<WhitelistEntry> Entries() const;
  bool Empty() const { return Entries().empty(); }
};

Whitelist ReadWhitelist(std::string_view text);
std::string WhitelistText(const Whitelist& whitelist);

// Adds the player (the userId trimmed of blanks; a tab or a line break in the name becomes a
// blank). False when the trimmed id is empty, holds a blank or line break, starts with # (a line
// of notes), or is listed already.
bool AddToWhitelist(Whitelist& whitelist, std::string_view userId, std::string_view name,
                    int64_t now);
// Every line for the userId goes.
void RemoveFromWhitelist(Whitelist& whitelist, std::string_view userId);

// The online players the whitelist does not hold, each once; a player still loading (no userId
// yet, or one of zeros) is nobody yet and is left to a later poll.
std::vector<PlayerInfo> UnlistedPlayers(const std::vector<PlayerInfo>& online,
                                        const Whitelist& whitelist);

// Why 只允许白名单中的玩家 cannot be ticked (the server's REST API is off, or no admin password
// signs in to it); empty when it can.
std::string WhitelistUnavailableLine(bool apiOnInSettings, bool hasAdminPassword);

// " 当前在线的 2 名玩家不在白名单中 - 是否将他们加入白名单? "
std::string UnlistedPlayersQuestion(size_t count);

// "白名单: 已踢出 小明 (steam_76561198000000001)"
std::string WhitelistKickText(const PlayerInfo& player);

// Whom each poll kicks. A poll that failed (nullopt) changes nothing; one player is kicked at
// most once per kWhitelistKickGapSeconds, so a kick the server refuses does not flood it.
class WhitelistKicks {
 public:
  // now: seconds on a clock that only goes forward.
  std::vector<PlayerInfo> Decide(const std::optional<std::vector<PlayerInfo>>& online,
                                 const Whitelist& whitelist, int64_t now);

 private:
  std::map<std::string, int64_t> lastKick_;  // userId -> when
};

}  // namespace tidemoor
