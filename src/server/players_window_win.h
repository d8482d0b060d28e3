#pragma once
// The window 在线玩家管理: the online players in a list refreshed every 5 s, and the buttons that
// kick, ban and unban them, save the world now and send an announcement. Its decisions are
// PlayerAdmin's; this is the Win32 side only.

#include <windows.h>

#include <functional>
#include <optional>

#include "platform/event_log.h"
#include "platform/prompt.h"
#include "platform/tool_window_win.h"
#include "server/player_admin.h"
#include "server/server_api_win.h"
#include "server/ban_list_page_win.h"
#include "server/guilds_page_win.h"
#include "server/player_records_page_win.h"
#include "server/whitelist_page_win.h"

namespace tidemoor {

// Child-window ids (and the refresh timer's), so tests and the end-to-end driver find them.
enum class PlayersControl : int {
  Pages = 400,
  Group,
  List,
  ConnectionLine,
  ReasonLabel,
  ReasonEdit,
  KickButton,
  BanButton,
  UnbanButton,
  SaveButton,
  AnnounceLabel,
  AnnounceEdit,
  AnnounceButton,
  StatusText,
  RefreshTimer,
  GameDataBox,
};

inline constexpr char kUnbanTitle[] = "解封玩家";

struct PlayersWindowSetup {
  HWND owner = nullptr;
  Prompt* prompt = nullptr;
  EventLog* log = nullptr;
  std::function<ApiAccess()> access;
  // The pages beside the online players; the callbacks that reach the window's own parts (the
  // online list, the unban, the whitelist page) are the window's.
  WhitelistPageSetup whitelist;
  BanListPageSetup banList;
  PlayerRecordsPageSetup records;
  GuildsPageSetup guilds;                   // on: 启用游戏数据接口 as saved
  std::function<void(bool)> setGameDataOn;  // changes the choice and saves the settings
};

class PlayersWindow : public ToolWindow<PlayersWindow>, private PlayersView {
 public:
  static constexpr ToolWindowKind kKind{L"TidemoorPlayers", kPlayersWindowTitle, 660, 456};

  // Opens the window, or brings it forward when it is open already. The setup given at the first
  // opening serves every later one.
  HWND Open(PlayersWindowSetup setup);

 private:
  friend class ToolWindow<PlayersWindow>;
  void OnCreate(UINT dpi);
  void PlaceControls(UINT dpi);
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void OnButton(PlayersControl id);
  void ShowPage(int page);
  void OnTick();
  // The columns 公会 and 坐标: shown and filled while there is game data, else hidden.
  void ShowGameColumns();

  void ShowPlayers(const std::vector<PlayerRow>& rows, int selectedRow) override;
  void ShowConnectionLine(std::string_view line) override;
  void EnableActions(bool enabled) override;
  void ShowStatus(std::string_view text) override;
  int SelectedRow() const override;
  std::string Reason() const override;
  std::string Announcement() const override;
  std::optional<std::string> AskUserId() override;

  PlayersWindowSetup setup_;
  // Requests of the window's own, so a silent server it asks never holds up anything else.
  WindowsServerApi api_;
  std::optional<PlayerAdmin> admin_;
  WhitelistPage whitelist_;
  BanListPage banList_;
  PlayerRecordsPage records_;
  GuildsPage guilds_;
  UINT dpi_ = 96;
  UniqueGdiObject font_;
  UniqueGdiObject tabsFont_;
};

}  // namespace tidemoor
