#pragma once
// The page 玩家记录 as a table: the players file's records that match the search box, in the order
// of the column the host clicked.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "server/player_records.h"

namespace tidemoor {

// The columns, in the order the page shows them.
enum class RecordColumn { Name, UserId, FirstSeen, LastSeen, Sessions, Minutes, FormerNames };
inline constexpr int kRecordColumns = 7;

// Those whose name, userId or a name used before holds the search text (ASCII letters in any
// case; blanks around it do not count), sorted by the column; equal ones keep the file's order.
std::vector<PlayerRecord> RecordsShown(const std::vector<PlayerRecord>& records,
                                       std::string_view search, RecordColumn column,
                                       bool descending);

// "3小时12分", "45分", "2天3小时": the time online in all, as the page shows it.
std::string OnlineTimeText(int64_t minutes);

}  // namespace tidemoor
