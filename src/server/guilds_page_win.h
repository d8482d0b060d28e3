#pragma once
// The players window's game data (with 启用游戏数据接口 ticked): the server's game-data answer,
// asked at most every 30 s while the window is open and read on a worker, gives the online list
// its columns 公会 and 坐标 and fills the page 公会 (name, players online, bases). A server that
// does not answer it hides them and says why once.

#include <windows.h>

#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "platform/control_table.h"
#include "platform/tab_page_win.h"
#include "platform/window_win.h"
#include "platform/worker_win.h"
#include "server/game_data.h"
#include "server/player_admin.h"
#include "server/server_world.h"

namespace tidemoor {

enum class GuildsControl : int {
  List = 490,
  Line,
};

inline constexpr char kGuildsTitle[] = "公会";
inline constexpr auto kGameDataPeriod = std::chrono::seconds(30);

struct GuildsPageSetup {
  std::function<bool()> on;  // 启用游戏数据接口, as saved
  // The answer changed (or went): the online list shows or hides its columns.
  std::function<void()> changed;
  std::function<void(std::string_view)> tell;  // the window's status line
};

class GuildsPage {
 public:
  GuildsPage();
  void Create(HWND parent, UINT dpi, GuildsPageSetup setup);
  void Place(UINT dpi);
  void Show(bool shown);
  // Every few seconds while the window is open: asks when 30 s have passed since the last ask.
  void Tick(ServerApi& api, const ApiAccess& access);
  // The latest answer, nullptr while there is none to show.
  const GameData* Latest() const { return latest_ ? &*latest_ : nullptr; }
  // The window has closed: answers still under way are dropped.
  void Forget();

 private:
  HWND Control(GuildsControl id) const;
  void Take(std::optional<GameData> data, std::string why);
  void ShowGuilds();

  GuildsPageSetup setup_;
  std::optional<GameData> latest_;
  std::optional<std::chrono::steady_clock::time_point> lastAsked_;
  bool asking_ = false;
  bool failureTold_ = false;
  uint32_t opening_ = 0;
  Worker reader_;
  TabPage page_;
};

}  // namespace tidemoor
