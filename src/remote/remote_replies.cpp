#include "remote/remote_replies.h"

#include <algorithm>
#include <cmath>

#include "platform/text.h"

namespace tidemoor {
namespace {

constexpr size_t kShownNameCharacters = 32;
constexpr size_t kShownLineCharacters = 200;
constexpr size_t kNamesListed = 30;
constexpr size_t kShortestSecret = 4;

std::string StateWord(ServerRunState state) {
  switch (state) {
    case ServerRunState::Stopped:
      return "已停止";
    case ServerRunState::Starting:
      return "正在启动";
    case ServerRunState::Running:
      return "运行中";
    case ServerRunState::Stopping:
      return "正在关闭";
  }
  return {};
}

std::string WorkWord(ServerWork work) {
  switch (work) {
    case ServerWork::None:
      break;
    case ServerWork::Restarting:
      return "正在重启";
    case ServerWork::Stopping:
      return "正在关闭";
    case ServerWork::Starting:
      return "正在启动";
    case ServerWork::BackingUp:
      return "正在备份";
  }
  return {};
}

std::string UptimeText(std::chrono::seconds uptime) {
  const int64_t minutes = std::max<int64_t>(0, uptime.count()) / 60;
  const int64_t days = minutes / (24 * 60);
  const int64_t hours = minutes / 60 % 24;
  std::string text;
  if (days > 0) text = std::to_string(days) + " 天 ";
  if (days > 0 || hours > 0) text += std::to_string(hours) + " 小时 ";
  return text + std::to_string(minutes % 60) + " 分";
}

// "512 MB" below one GB, where a tenth of a GB would say little, else "6.2 GB".
std::string MemoryText(uint64_t bytes) {
  constexpr double kBytesPerMb = 1024.0 * 1024.0;
  constexpr double kBytesPerGb = kBytesPerMb * 1024.0;
  const double gb = static_cast<double>(bytes) / kBytesPerGb;
  if (gb < 1.0) {
    return std::to_string(std::llround(static_cast<double>(bytes) / kBytesPerMb)) + " MB";
  }
  const int64_t tenths = std::llround(gb * 10);
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " GB";
}

std::string OnlineCount(const ServerSnapshot& server) {
  return "在线 " + std::to_string(server.playerNames.size()) + " 人";
}

}  // namespace

std::string ShownName(std::string_view name) {
  return EscapeControlCharacters(name, kShownNameCharacters);
}

std::string StatusReply(const ServerSnapshot& server) {
  std::string reply = "服务端: " + StateWord(server.state);
  const std::string work = WorkWord(server.work);
  if (!work.empty() && work != StateWord(server.state)) reply += " (" + work + ")";
  if (!server.version.empty()) reply += "\n版本: " + ShownName(server.version);
  if (server.state == ServerRunState::Running) {
    reply += "\n在线玩家: " + std::to_string(server.playerNames.size());
    if (server.maxPlayers > 0) reply += "/" + std::to_string(server.maxPlayers);
  }
  if (server.uptime) reply += "\n已运行: " + UptimeText(*server.uptime);
  if (server.fps) reply += "\nFPS: " + std::to_string(std::llround(*server.fps));
  if (server.memoryBytes) reply += "\n内存: " + MemoryText(*server.memoryBytes);
  if (!server.lastBackup.empty()) {
    reply += "\n最近备份: " + EscapeControlCharacters(server.lastBackup, kShownLineCharacters);
  }
  if (!server.lastCrash.empty()) {
    reply += "\n最近崩溃: " + EscapeControlCharacters(server.lastCrash, kShownLineCharacters);
  }
  return reply;
}

std::string PlayersReply(const ServerSnapshot& server) {
  if (server.state != ServerRunState::Running) return NotRunningReply(server.state);
  const std::vector<std::string>& names = server.playerNames;
  if (names.empty()) return "当前没有玩家在线";
  std::vector<std::string> shown;
  for (size_t i = 0; i < names.size() && i < kNamesListed; ++i) {
    shown.push_back(ShownName(names[i]));
  }
  std::string reply = "在线玩家 (" + std::to_string(names.size()) + "): " + JoinTexts(shown, ", ");
  if (names.size() > kNamesListed) reply += " 等 " + std::to_string(names.size()) + " 人";
  return reply;
}

std::string HelpReply() {
  return "可用指令:\n"
         "/状态 - 服务端状态\n"
         "/玩家 - 在线玩家\n"
         "/帮助 - 指令列表\n"
         "/公告 <文字> - 向游戏内发送公告 (管理员)\n"
         "/备份 - 创建备份点 (管理员)\n"
         "/重启 - 安全重启服务端 (管理员)\n"
         "/关服 - 安全关闭服务端 (管理员)\n"
         "/开服 - 启动服务端 (管理员)\n"
         "/确认 - 执行等待确认的重启、关服或开服 (管理员)";
}

std::string NotRunningReply(ServerRunState state) {
  switch (state) {
    case ServerRunState::Starting:
      return BusyReply(ServerWork::Starting);
    case ServerRunState::Stopping:
      return BusyReply(ServerWork::Stopping);
    case ServerRunState::Stopped:
    case ServerRunState::Running:
      break;
  }
  return "服务端没有运行";
}

std::string BusyReply(ServerWork work) {
  if (work == ServerWork::BackingUp) return "正在备份, 请稍候";
  return "服务端" + WorkWord(work) + ", 请稍候";
}

// Without the REST API the server can neither be warned nor told to save: its process is ended.
std::string ConfirmQuestion(RemoteVerb verb, const ServerSnapshot& server) {
  const std::string ask = " - 60 秒内发送 /确认 执行";
  // An empty server is not kept waiting for a notice nobody would read.
  const std::string how = !server.restApi
                              ? OnlineCount(server) + ", 没有 REST API, 无法先通知玩家和存档"
                          : server.playerNames.empty() ? OnlineCount(server)
                                                       : OnlineCount(server) + ", 先通知 1 分钟";
  switch (verb) {
    case RemoteVerb::Restart:
      return (server.restApi ? "将安全重启服务端 (" : "将重启服务端 (") + how + ")" + ask;
    case RemoteVerb::Stop:
      return (server.restApi ? "将安全关闭服务端 (" : "将关闭服务端 (") + how + ")" + ask;
    default:
      break;
  }
  return "将启动服务端" + ask;
}

std::string CarryingOutReply(RemoteVerb verb, const ServerSnapshot& server) {
  switch (verb) {
    case RemoteVerb::Restart:
      return server.restApi ? "正在安全重启服务端" : "正在重启服务端";
    case RemoteVerb::Stop:
      return server.restApi ? "正在安全关闭服务端" : "正在关闭服务端";
    default:
      break;
  }
  return "正在启动服务端";
}

std::string AnnouncingReply(std::string_view announcement) {
  return "正在发送公告: " + EscapeControlCharacters(announcement, kShownLineCharacters);
}

// Longer secrets go first, so one that holds a shorter one is hidden whole. A replacement can
// bring two pieces together into a secret again, so the rounds go on until none is left; each
// one shortens the reply, so they end.
std::string WithoutSecrets(std::string reply, const std::vector<std::string>& secrets) {
  std::vector<std::string> forms;
  for (const std::string& secret : secrets) {
    if (secret.size() < kShortestSecret) continue;
    forms.push_back(secret);
    const std::string escaped = EscapeControlCharacters(secret);
    if (escaped != secret) forms.push_back(escaped);
  }
  std::sort(forms.begin(), forms.end(),
            [](const std::string& a, const std::string& b) { return a.size() > b.size(); });
  for (bool replaced = true; replaced;) {
    replaced = false;
    for (const std::string& form : forms) {
      if (reply.find(form) == std::string::npos) continue;
      reply = ReplaceAll(std::move(reply), form, "***");
      replaced = true;
    }
  }
  return reply;
}

}  // namespace tidemoor
