#pragma once
// The players window's page 玩家记录: every player the tool has seen (PaLWorld_Data\Players.tsv),
// sortable by any column, with a search box; a row can go to the whitelist or its id to the
// clipboard.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/control_table.h"
#include "platform/tab_page_win.h"
#include "platform/window_win.h"
#include "platform/worker_win.h"
#include "server/player_records_table.h"

namespace tidemoor {

enum class RecordsControl : int {
  SearchLabel = 470,
  SearchEdit,
  CountLabel,
  List,
  AddToWhitelistButton,
  CopyIdButton,
  RefreshButton,
  StatusText,
};

inline constexpr char kPlayerRecordsTitle[] = "玩家记录";

struct PlayerRecordsPageSetup {
  std::string playersFile;
  // Adds the player to the whitelist; what happened, in a few words.
  std::function<std::string(const std::string& userId, const std::string& name)> addToWhitelist;
};

class PlayerRecordsPage {
 public:
  PlayerRecordsPage();
  void Create(HWND parent, UINT dpi, PlayerRecordsPageSetup setup);
  void Place(UINT dpi);
  void Show(bool shown);
  // True when the control was one of the page's.
  bool OnCommand(int id, int code);
  // A click on a column's header sorts by it (again: the other way round).
  bool OnNotify(const NMHDR& header);

 private:
  HWND Control(RecordsControl id) const;
  void Read();
  void ShowRows();
  const PlayerRecord* Selected() const;
  void ShowStatus(std::string_view text);

  PlayerRecordsPageSetup setup_;
  std::vector<PlayerRecord> records_;  // as the file holds them
  std::vector<PlayerRecord> shown_;    // as the list shows them, row by row
  RecordColumn column_ = RecordColumn::LastSeen;
  bool descending_ = true;  // the latest first
  bool reading_ = false;
  Worker reader_;
  TabPage page_;
};

}  // namespace tidemoor
