#include "server/player_records_table.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace tidemoor {
namespace {

std::vector<std::string> Ids(const std::vector<PlayerRecord>& records) {
  std::vector<std::string> ids;
  for (const PlayerRecord& record : records) ids.push_back(record.userId);
  return ids;
}

TEST(PlayerRecordsTable, SearchesNamesIdsAndFormerNamesAndSortsByTheColumn) {
  const std::vector<PlayerRecord> records = {
      {"steam_2", "bob", 300, 900, 9, 40, {}},
      {"steam_1", "Ann", 100, 950, 2, 600, {"Annie"}},
      {"gdk_3", "小明", 200, 800, 2, 5, {"大明", "BOB2"}},
  };
  const struct {
    const char* search;
    RecordColumn column;
    bool descending;
    std::vector<std::string> ids;
  } cases[] = {
      {"", RecordColumn::Name, false, {"steam_1", "steam_2", "gdk_3"}},  // letters in any case
      {"", RecordColumn::FirstSeen, false, {"steam_1", "gdk_3", "steam_2"}},
      {"", RecordColumn::LastSeen, true, {"steam_1", "steam_2", "gdk_3"}},
      {"", RecordColumn::Sessions, false, {"steam_1", "gdk_3", "steam_2"}},  // ties keep the file's
      {"", RecordColumn::Sessions, true, {"steam_2", "steam_1", "gdk_3"}},
      {"", RecordColumn::Minutes, true, {"steam_1", "steam_2", "gdk_3"}},
      {"", RecordColumn::UserId, false, {"gdk_3", "steam_1", "steam_2"}},
      {" BOB ", RecordColumn::Name, false, {"steam_2", "gdk_3"}},  // a former name counts
      {"大明", RecordColumn::Name, false, {"gdk_3"}},
      {"STEAM_1", RecordColumn::Name, false, {"steam_1"}},
      {"nobody", RecordColumn::Name, false, {}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Ids(RecordsShown(records, c.search, c.column, c.descending)), c.ids)
        << c.search << " " << static_cast<int>(c.column);
  }
}

TEST(PlayerRecordsTable, TimeOnlineInDaysHoursAndMinutes) {
  const struct {
    int64_t minutes;
    const char* text;
  } cases[] = {{0, "0分"},         {45, "45分"},       {60, "1小时0分"}, {192, "3小时12分"},
               {1440, "1天0小时"}, {3060, "2天3小时"}, {-5, "0分"}};
  for (const auto& c : cases) EXPECT_EQ(OnlineTimeText(c.minutes), c.text) << c.minutes;
}

}  // namespace
}  // namespace tidemoor
