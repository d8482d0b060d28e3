#pragma once
// The players window's page 封禁列表: the players the server's own ban file holds, with the name
// the tool last saw for each and when the tool banned it, and 解封 while the server runs. The
// file is the server's: the tool only reads it; an unban goes through the REST API.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/control_table.h"
#include "platform/tab_page_win.h"
#include "platform/window_win.h"
#include "platform/worker_win.h"
#include "server/ban_list.h"

namespace tidemoor {

enum class BanListControl : int {
  List = 450,
  UnbanButton,
  RefreshButton,
  StatusText,
};

inline constexpr char kBanListTitle[] = "封禁列表";
inline constexpr char kUnbanNeedsServer[] = "开服后才能解封";

struct BanListPageSetup {
  std::string banFile;                 // Pal\Saved\SaveGames\banlist.txt under the server's folder
  std::string playersFile;             // Players.tsv: the names
  std::vector<std::string> eventLogs;  // the event log's files, oldest first: when the tool banned
  std::function<bool()> serverRunning;
  std::function<void(const std::string& userId, const std::string& name)> unban;
};

class BanListPage {
 public:
  BanListPage();
  void Create(HWND parent, UINT dpi, BanListPageSetup setup);
  void Place(UINT dpi);
  void Show(bool shown);
  bool Shown() const { return shown_; }
  // True when the control was one of the page's.
  bool OnCommand(int id, int code);
  // Reads the files again on the page's worker; the button follows the server's state at once.
  void Refresh();
  void ShowStatus(std::string_view text);

 private:
  HWND Control(BanListControl id) const;
  void ShowRows(std::vector<BannedPlayer> rows);
  void Unban();

  BanListPageSetup setup_;
  std::vector<BannedPlayer> rows_;
  bool shown_ = false;
  bool reading_ = false;
  Worker reader_;
  TabPage page_;
};

}  // namespace tidemoor
