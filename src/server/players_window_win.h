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

namespace tidemoor {

// Child-window ids (and the refresh timer's), so tests and the end-to-end driver find them.
enum class PlayersControl : int {
  Group = 401,
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
};

inline constexpr char kUnbanTitle[] = "解封玩家";

struct PlayersWindowSetup {
  HWND owner = nullptr;
  Prompt* prompt = nullptr;
  EventLog* log = nullptr;
  std::function<ApiAccess()> access;
};

class PlayersWindow : public ToolWindow<PlayersWindow>, private PlayersView {
 public:
  static constexpr ToolWindowKind kKind{L"TidemoorPlayers", kPlayersWindowTitle, 660, 420};

  // Opens the window, or brings it forward when it is open already. The setup given at the first
  // opening serves every later one.
  HWND Open(PlayersWindowSetup setup);

 private:
  friend class ToolWindow<PlayersWindow>;
  void OnCreate(UINT dpi);
  void PlaceControls(UINT dpi);
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void OnButton(PlayersControl id);

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
  UniqueGdiObject font_;
};

}  // namespace tidemoor
