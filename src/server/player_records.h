#pragma once
// Every player the tool has seen on the server: PaLWorld_Data\Players.tsv, UTF-8, a header line,
// then one line per userId: the last name, first seen, last seen (seconds since 1970, UTC), the
// sessions, the minutes online in all, and the names used before, each in a field of its own. A
// line the tool cannot read is kept aside as it is and written back after the others, never
// dropped. Names come from strangers: a tab or a line break in one becomes a blank.
//
// Only what the tool saw counts: a server it adopts already running counts its players from then.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "common/server_paths.h"
#include "server/rest_api.h"

namespace tidemoor {

inline constexpr char kPlayerRecordsHeader[] =
    "userId\tname\tfirstSeen\tlastSeen\tsessions\tminutesOnline\tformerNames";
// How often the minutes of those online are counted and written while nobody comes or goes.
inline constexpr int64_t kPlayerRecordsIntervalSeconds = 10 * 60;

std::string PlayerRecordsFile(const ServerPaths& paths);  // PaLWorld_Data\Players.tsv

struct PlayerRecord {
  std::string userId;
  std::string name;
  int64_t firstSeen = 0;
  int64_t lastSeen = 0;
  int64_t sessions = 0;
  int64_t minutesOnline = 0;
  std::vector<std::string> formerNames;  // oldest first, each once

  bool operator==(const PlayerRecord&) const = default;
};

class PlayerRecords {
 public:
  static PlayerRecords Read(std::string_view text);
  std::string Text() const;

  const std::vector<PlayerRecord>& Records() const { return records_; }
  const std::vector<std::string>& DamagedLines() const { return damaged_; }
  const PlayerRecord* Find(std::string_view userId) const;

  // A player came (a new session) or went; now in seconds since 1970.
  void Join(const PlayerInfo& player, int64_t now);
  void Leave(std::string_view userId, int64_t now);
  // The names of those online as the latest list gives them: a new name is the last name, the
  // one before joins the names used before. True when a name changed.
  bool NoteNames(const std::vector<PlayerInfo>& online);
  // Every kPlayerRecordsIntervalSeconds while the server runs: the minutes of those online.
  void CountOnline(int64_t now);
  // The server stopped or the tool closes: everyone online has gone.
  void EveryoneLeft(int64_t now);

 private:
  PlayerRecord* Record(std::string_view userId);
  // Adds the whole minutes since the player's time was last counted, keeping the rest.
  void Count(PlayerRecord& record, int64_t now);

  std::vector<PlayerRecord> records_;
  std::vector<std::string> damaged_;
  std::map<std::string, int64_t, std::less<>> countedUntil_;  // userId of one online -> when
};

}  // namespace tidemoor
