#pragma once
// The players the server itself has banned: Pal\Saved\SaveGames\banlist.txt under the server's
// folder. The file is the server's; the tool only reads it (an unban goes through the REST API).
// Read tolerantly: one userId per line, or ids run together, split before each platform prefix.

#include <string>
#include <string_view>
#include <vector>

#include "common/server_paths.h"

namespace tidemoor {

std::string BanListFile(const ServerPaths& paths);

// The banned userIds in the order the file holds them, each once; blanks and empty lines are no
// ids.
std::vector<std::string> ReadBanList(std::string_view text);

// A row of the page 封禁列表: the id, the name the tool last saw for it, and when the tool banned
// it ("2026-12-10 05:20:42", from the event log; empty when the tool did not, or the log no longer
// holds it).
struct BannedPlayer {
  std::string userId;
  std::string name;
  std::string bannedAt;

  bool operator==(const BannedPlayer&) const = default;
};

// The players of the ban file; names from the players file, times from the event log's lines of
// bans that succeeded (the last one for each id).
std::vector<BannedPlayer> BannedPlayers(std::string_view banFile, std::string_view playersFile,
                                        std::string_view eventLog);

}  // namespace tidemoor
