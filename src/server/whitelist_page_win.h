#pragma once
// The players window's page 白名单: the tick box 只允许白名单中的玩家, the players listed in
// PaLWorld_Data\Whitelist.txt, and the buttons that add and remove them. Whom the running server
// turns away is the hosting part's watch; this page only keeps the list and the choice.

#include <windows.h>

#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/control_table.h"
#include "platform/tab_page_win.h"
#include "platform/event_log.h"
#include "platform/prompt.h"
#include "platform/window_win.h"
#include "server/whitelist.h"

namespace tidemoor {

enum class WhitelistControl : int {
  OnlyListedBox = 430,
  UnavailableLine,
  List,
  IdLabel,
  IdEdit,
  AddButton,
  AddOnlineButton,
  RemoveButton,
  StatusText,
};

inline constexpr char kWhitelistTitle[] = "白名单";

struct WhitelistPageSetup {
  std::string file;  // Whitelist.txt
  Prompt* prompt = nullptr;
  EventLog* log = nullptr;
  std::function<bool()> on;                  // 只允许白名单中的玩家, as saved
  std::function<void(bool)> setOn;           // changes the choice and saves the settings
  std::function<std::string()> unavailable;  // why the box cannot be ticked; empty when it can
  std::function<std::vector<PlayerInfo>()> online;            // as the players list shows them
  std::function<std::optional<PlayerInfo>()> selectedOnline;  // the row selected there
};

class WhitelistPage {
 public:
  WhitelistPage();
  void Create(HWND parent, UINT dpi, WhitelistPageSetup setup);
  void Place(UINT dpi);
  void Show(bool shown);
  // True when the control was one of the page's.
  bool OnCommand(int id, int code);
  // The box as the settings and the API allow it, and the list as the file holds it.
  void Refresh();
  // The box only (the API may have been switched on meanwhile); the selection stays.
  void RefreshSwitch();
  // Adds the player to the list and the file; what happened, in the words the page shows.
  std::string AddPlayer(std::string_view userId, std::string_view name);

 private:
  HWND Control(WhitelistControl id) const;
  void OnBoxClicked();
  void AddOnline();
  void Remove();
  // Writes the list in one step; false (told) when it could not be written.
  bool Save();
  void ShowList();
  void ShowStatus(std::string_view text);

  WhitelistPageSetup setup_;
  Whitelist whitelist_;
  TabPage page_;
};

}  // namespace tidemoor
