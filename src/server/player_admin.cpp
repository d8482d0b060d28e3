#include "server/player_admin.h"

#include <cmath>

#include "platform/text.h"
#include "server/memory_guard.h"

namespace tidemoor {
namespace {

constexpr char kSelectFirst[] = " 请先在列表中选择一名玩家 ";
constexpr char kEmptyAnnouncement[] = " 公告内容不能为空 ";
constexpr char kKickTitle[] = " 踢出玩家";
constexpr char kBanTitle[] = " 封禁玩家";

std::string WholeNumber(double value) {
  if (!std::isfinite(value)) return "0";
  return std::to_string(std::llround(std::fmax(-1e15, std::fmin(value, 1e15))));
}

// A typed text without the blanks around it, the ideographic one among them.
std::string_view TrimTyped(std::string_view text) {
  for (;;) {
    const std::string_view before = text;
    text = TrimBlanks(text, " \t\r\n");
    if (text.starts_with("\xE3\x80\x80")) text.remove_prefix(3);
    if (text.ends_with("\xE3\x80\x80")) text.remove_suffix(3);
    if (text == before) return text;
  }
}

// A name or a message as the list, the questions and the log show it: a name of a thousand
// characters would push the userId out of a question and bury a line of the log.
std::string Shown(std::string_view text) {
  return EscapeControlCharacters(text, kShownPlayerTextCharacters);
}

}  // namespace

std::string NoListLine(const ApiAccess& access, const RestReply& reply,
                       std::string_view readError) {
  if (!access.serverRunning) return "服务端未运行 - 启动服务端后才能查看和管理在线玩家";
  if (reply.status == 401) {
    return RestFailureText(reply) + " - 管理员密码须与服务端启动时的一致";
  }
  if (reply.status == 0 && !access.apiOnInSettings) {
    return kApiOffLine;
  }
  if (reply.status == 0) {
    return RestFailureText(reply, access.endpoint.port) +
           " - 服务端可能仍在启动, 或端口与服务端的不一致";
  }
  if (!reply.Answered()) return RestFailureText(reply);
  if (!readError.empty()) return "REST API 的回应无法读取: " + EscapeControlCharacters(readError);
  return {};
}

PlayerRow PlayerCells(const PlayerInfo& player) {
  return {Shown(player.name),
          std::to_string(player.level),
          WholeNumber(player.ping),
          EscapeControlCharacters(player.playerId),
          EscapeControlCharacters(player.userId),
          EscapeControlCharacters(player.ip)};
}

int RowOfSamePlayer(const std::vector<PlayerInfo>& players, const PlayerInfo* selected) {
  if (!selected) return -1;
  for (size_t row = 0; row < players.size(); ++row) {
    const PlayerInfo& player = players[row];
    const bool same = selected->userId.empty()
                          ? !selected->playerId.empty() && player.userId.empty() &&
                                player.playerId == selected->playerId
                          : player.userId == selected->userId;
    if (same) return static_cast<int>(row);
  }
  return -1;
}

std::string PlayerLabel(const PlayerInfo& player) {
  return Shown(player.name) + " (" + EscapeControlCharacters(player.userId) + ")";
}

std::string LiveStatusLine(const ServerMetrics& metrics) {
  const int64_t minutes = metrics.uptimeSeconds > 0 ? metrics.uptimeSeconds / 60 : 0;
  const int64_t days = minutes / (24 * 60);
  const int64_t hours = minutes / 60 % 24;
  std::string uptime;
  if (days > 0) uptime = std::to_string(days) + "天";
  if (days > 0 || hours > 0) uptime += std::to_string(hours) + "小时";
  uptime += std::to_string(minutes % 60) + "分";
  return "在线 " + std::to_string(metrics.currentPlayers) + "/" +
         std::to_string(metrics.maxPlayers) + "  ·  FPS " + std::to_string(metrics.serverFps) +
         "  ·  已运行 " + uptime;
}

void PlayerAdmin::Refresh() {
  if (refreshing_) return;
  const ApiAccess access = world_.access();
  if (!access.serverRunning) {
    ShowNoList(NoListLine(access, {}));
    return;
  }
  refreshing_ = true;
  world_.api.Send(PlayersRequest(access.endpoint),
                  [this, access, opening = opening_](const RestReply& reply) {
                    if (opening != opening_) return;
                    refreshing_ = false;
                    if (!reply.Answered()) {
                      ShowNoList(NoListLine(access, reply));
                      return;
                    }
                    RestReading<std::vector<PlayerInfo>> reading = ReadPlayers(reply.body);
                    if (!reading.value) {
                      ShowNoList(NoListLine(access, reply, reading.error));
                      return;
                    }
                    ShowList(std::move(*reading.value));
                  });
}

void PlayerAdmin::ShowList(std::vector<PlayerInfo> players) {
  const int selectedRow = world_.view.SelectedRow();
  const PlayerInfo* selected = selectedRow >= 0 && selectedRow < static_cast<int>(players_.size())
                                   ? &players_[selectedRow]
                                   : nullptr;
  const int keep = RowOfSamePlayer(players, selected);
  std::vector<PlayerRow> rows;
  rows.reserve(players.size());
  for (const PlayerInfo& player : players) rows.push_back(PlayerCells(player));
  players_ = std::move(players);
  world_.view.ShowPlayers(rows, keep);
  world_.view.ShowConnectionLine("在线玩家 " + std::to_string(players_.size()) + " 人");
  world_.view.EnableActions(true);
}

// A list that can no longer be asked for is not shown as if it were current.
void PlayerAdmin::ShowNoList(std::string_view line) {
  players_.clear();
  world_.view.ShowPlayers({}, -1);
  world_.view.ShowConnectionLine(line);
  world_.view.EnableActions(false);
}

std::optional<ApiAccess> PlayerAdmin::ActionAccess() {
  ApiAccess access = world_.access();
  if (access.serverRunning) return access;
  ShowNoList(NoListLine(access, {}));
  return std::nullopt;
}

void PlayerAdmin::Kick() {
  Remove(Removal::Kick);
}

void PlayerAdmin::Ban() {
  Remove(Removal::Ban);
}

void PlayerAdmin::Remove(Removal removal) {
  const int row = world_.view.SelectedRow();
  if (row < 0 || row >= static_cast<int>(players_.size())) {
    world_.view.ShowStatus(kSelectFirst);
    return;
  }
  const PlayerInfo player = players_[row];
  const bool kick = removal == Removal::Kick;
  if (player.userId.empty()) {
    world_.view.ShowStatus(kick ? " 该玩家没有平台ID (userId), 无法踢出 "
                                : " 该玩家没有平台ID (userId), 无法封禁 ");
    return;
  }
  const std::string question =
      kick ? " 是否将玩家 " + PlayerLabel(player) + " 踢出服务器? "
           : " 是否封禁玩家 " + PlayerLabel(player) + "? 封禁后该玩家无法再进入服务器 ";
  const uint32_t opening = opening_;
  if (!world_.prompt.Confirm(question, kick ? kKickTitle : kBanTitle,
                             PromptStyle::WarningQuestion)) {
    return;
  }
  if (opening != opening_) return;  // the window closed while the question was open
  const std::optional<ApiAccess> access = ActionAccess();
  if (!access) return;
  const std::string reason = world_.view.Reason();
  const std::string because = TrimTyped(reason).empty() ? "" : ", 原因: " + Shown(reason);
  if (kick) {
    SendAction(KickRequest(access->endpoint, player.userId, reason),
               "踢出玩家 " + PlayerLabel(player) + because, " 已踢出 " + Shown(player.name) + " ");
  } else {
    SendAction(BanRequest(access->endpoint, player.userId, reason),
               "封禁玩家 " + PlayerLabel(player) + because, " 已封禁 " + Shown(player.name) + " ");
  }
}

void PlayerAdmin::Unban() {
  const uint32_t opening = opening_;
  const std::optional<std::string> typed = world_.view.AskUserId();
  if (!typed || opening != opening_) return;
  const std::string userId(TrimTyped(*typed));
  if (userId.empty()) return;
  // The name of a player who is not online is known only when the list still shows them.
  std::string name;
  for (const PlayerInfo& player : players_) {
    if (player.userId == userId) name = player.name;
  }
  UnbanPlayer(userId, name);
}

void PlayerAdmin::UnbanPlayer(std::string_view userId, std::string_view knownName) {
  const std::optional<ApiAccess> access = ActionAccess();
  if (!access) return;
  const std::string name = knownName.empty() ? std::string() : Shown(knownName) + " ";
  SendAction(UnbanRequest(access->endpoint, userId),
             "解封玩家 " + name + "(" + EscapeControlCharacters(userId) + ")",
             " 已解封 " + EscapeControlCharacters(userId) + " ");
}

void PlayerAdmin::SaveNow() {
  const std::optional<ApiAccess> access = ActionAccess();
  if (!access) return;
  SendAction(SaveRequest(access->endpoint), "立即存档", kSavedStatus);
}

void PlayerAdmin::Announce() {
  const std::string text = world_.view.Announcement();
  if (TrimTyped(text).empty()) {
    world_.view.ShowStatus(kEmptyAnnouncement);
    return;
  }
  const std::optional<ApiAccess> access = ActionAccess();
  if (!access) return;
  SendAction(AnnounceRequest(access->endpoint, text), "发送公告: " + Shown(text), " 公告已发送 ");
}

void PlayerAdmin::SendAction(const RestRequest& request, std::string logText,
                             std::string doneStatus) {
  world_.view.ShowStatus(" 正在发送... ");
  world_.api.Send(request, [this, logText = std::move(logText), doneStatus = std::move(doneStatus),
                            opening = opening_](const RestReply& reply) {
    if (!reply.Answered()) {
      world_.log.Record(logText + " - 失败: " + RestFailureText(reply));
    } else {
      world_.log.Record(logText);
    }
    if (opening != opening_) return;
    world_.view.ShowStatus(reply.Answered() ? doneStatus
                                            : " 失败: " + RestFailureText(reply) + " ");
    // A kicked or banned player leaves the list at once, not at the next tick.
    Refresh();
  });
}

std::optional<PlayerInfo> PlayerAdmin::SelectedPlayer() const {
  const int row = world_.view.SelectedRow();
  if (row < 0 || row >= static_cast<int>(players_.size())) return std::nullopt;
  return players_[row];
}

void PlayerAdmin::Forget() {
  ++opening_;
  refreshing_ = false;
  players_.clear();
}

std::string LiveStatusLine(const std::optional<ServerMetrics>& metrics,
                           std::optional<uint64_t> memoryInUse) {
  const std::string memory = memoryInUse ? "内存 " + MemoryText(*memoryInUse) : "";
  if (!metrics) return memory;
  return LiveStatusLine(*metrics) + (memory.empty() ? "" : "  ·  " + memory);
}

void LiveStatus::Tick(bool serverRunning, const RestEndpoint& endpoint) {
  if (!serverRunning) {
    ++run_;
    asking_ = false;
    latest_.reset();
    show_("");
    return;
  }
  if (asking_) return;
  asking_ = true;
  api_.Send(MetricsRequest(endpoint), [this, run = run_](const RestReply& reply) {
    if (run != run_) return;
    asking_ = false;
    latest_ = reply.Answered() ? ReadMetrics(reply.body).value : std::nullopt;
    show_(LiveStatusLine(latest_, memoryInUse_ ? memoryInUse_() : std::nullopt));
  });
}

}  // namespace tidemoor
