#pragma once
// The 在线玩家管理 window's decisions and the main window's live status line: who is online, the
// one line that says why the list is missing, the questions before a kick or a ban, what goes to
// the event log. The window only shows what this says; tests drive it with fakes.
//
// Names and messages come from strangers: every one is shown and logged with its control
// characters escaped, so no name can break a row of the list or a line of the log, nor pass for
// another by characters that show nothing.

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/event_log.h"
#include "platform/prompt.h"
#include "server/rest_api.h"
#include "server/server_world.h"

namespace tidemoor {

inline constexpr char kPlayersWindowTitle[] = "在线玩家管理";
inline constexpr char kSavedStatus[] = " 已存档 ";
// Names and messages are shown and logged cut to this many characters; the userId never is.
inline constexpr size_t kShownPlayerTextCharacters = 64;

// What a request needs to know of the server at the moment it is made.
struct ApiAccess {
  bool serverRunning = false;
  bool apiOnInSettings = false;  // PalWorldSettings.ini has RESTAPIEnabled=True
  RestEndpoint endpoint;
};

inline constexpr char kApiOffLine[] =
    "PalWorldSettings.ini 中 REST API 未开启 (RESTAPIEnabled) - 勾选安全关服并重启服务端即可开启";

// Why there is no list, in one line: the server is not running, its API is off in
// PalWorldSettings.ini, refuses the password (401), does not answer, or answered something
// unreadable (readError). Empty when the reply was a usable one.
std::string NoListLine(const ApiAccess& access, const RestReply& reply,
                       std::string_view readError = {});

// The list's columns: 名字, 等级, Ping, 玩家ID, 平台ID (userId), IP.
inline constexpr size_t kPlayerColumns = 6;
using PlayerRow = std::array<std::string, kPlayerColumns>;
PlayerRow PlayerCells(const PlayerInfo& player);

// The row that holds the same player as before a refresh (by userId, or playerId when it has
// none); -1 when that player has gone or none was selected.
int RowOfSamePlayer(const std::vector<PlayerInfo>& players, const PlayerInfo* selected);

// "小明 (steam_7656…)": a player as the questions and the event log name them.
std::string PlayerLabel(const PlayerInfo& player);

// "在线 3/32  ·  FPS 58  ·  已运行 5小时12分"
std::string LiveStatusLine(const ServerMetrics& metrics);

// What the players window shows and what the user typed into it.
class PlayersView {
 public:
  virtual ~PlayersView() = default;
  // The rows and the one to select (-1 for none); an empty list with the line that says why.
  virtual void ShowPlayers(const std::vector<PlayerRow>& rows, int selectedRow) = 0;
  virtual void ShowConnectionLine(std::string_view line) = 0;
  virtual void EnableActions(bool enabled) = 0;
  // The result of the last action (" 已存档 ", a refusal, a failure).
  virtual void ShowStatus(std::string_view text) = 0;
  virtual int SelectedRow() const = 0;
  virtual std::string Reason() const = 0;
  virtual std::string Announcement() const = 0;
  // The userId to unban; nullopt when the user cancels.
  virtual std::optional<std::string> AskUserId() = 0;
};

struct PlayerAdminWorld {
  PlayersView& view;
  ServerApi& api;
  Prompt& prompt;
  EventLog& log;
  std::function<ApiAccess()> access;
};

class PlayerAdmin {
 public:
  explicit PlayerAdmin(PlayerAdminWorld world) : world_(std::move(world)) {}

  // At the window's opening and every 5 s while it is open. One request at a time: a silent
  // server does not pile up requests behind it.
  void Refresh();
  void Kick();
  void Ban();
  void Unban();
  // The player of the ban list's row; knownName is the one last seen, empty when none.
  void UnbanPlayer(std::string_view userId, std::string_view knownName);
  void SaveNow();
  void Announce();
  // The window has closed: replies still under way are dropped.
  void Forget();

  // The players as the list shows them, and the one selected in it.
  const std::vector<PlayerInfo>& Players() const { return players_; }
  std::optional<PlayerInfo> SelectedPlayer() const;

 private:
  enum class Removal { Kick, Ban };
  void Remove(Removal removal);
  void ShowList(std::vector<PlayerInfo> players);
  void ShowNoList(std::string_view line);
  // The access for an action, or nullopt (with the reason shown) when the server is not running.
  std::optional<ApiAccess> ActionAccess();
  // Sends the request; on the reply, logs what happened and shows it in the status text.
  void SendAction(const RestRequest& request, std::string logText, std::string doneStatus);

  PlayerAdminWorld world_;
  std::vector<PlayerInfo> players_;  // as the list shows them, row by row
  bool refreshing_ = false;
  // Each opening of the window has its own number, so a reply meant for an earlier one is dropped.
  uint32_t opening_ = 0;
};

// "在线 3/32  ·  FPS 58  ·  已运行 5小时12分  ·  内存 9.4 GB": the line with the memory the
// server's worker uses, when it could be read; the memory alone when the API did not answer.
std::string LiveStatusLine(const std::optional<ServerMetrics>& metrics,
                           std::optional<uint64_t> memoryInUse);

// The main window's live status line, asked every 10 s while the server runs.
class LiveStatus {
 public:
  // memoryInUse: the working set of the server's worker, nullopt when unreadable; none given, the
  // line shows no memory.
  LiveStatus(ServerApi& api, std::function<void(std::string_view)> show,
             std::function<std::optional<uint64_t>()> memoryInUse = {})
      : api_(api), show_(std::move(show)), memoryInUse_(std::move(memoryInUse)) {}

  // Asks the running server's metrics; a server that is not running, or does not answer, leaves
  // the line empty. One request at a time.
  void Tick(bool serverRunning, const RestEndpoint& endpoint);
  // The running server's last answer; nullopt before the first, after one that failed and while
  // the server is not running.
  const std::optional<ServerMetrics>& Latest() const { return latest_; }

 private:
  ServerApi& api_;
  std::function<void(std::string_view)> show_;
  std::function<std::optional<uint64_t>()> memoryInUse_;
  std::optional<ServerMetrics> latest_;
  bool asking_ = false;
  uint32_t run_ = 0;  // a reply that comes after the server stopped is dropped
};

}  // namespace tidemoor
