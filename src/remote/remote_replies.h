#pragma once
// What the bot says in the chat app, and the last guard that keeps the host's secrets out of it.

#include <string>
#include <string_view>
#include <vector>

#include "remote/remote_command.h"
#include "remote/server_snapshot.h"

namespace tidemoor {

inline constexpr char kNotAdminReply[] = "你没有管理权限 - 只有服主设定的管理员可以使用此指令";
inline constexpr char kNoAdminsReply[] = "服主没有设定管理员 - 只能查询状态和玩家";
inline constexpr char kAnnounceUsageReply[] = "用法: /公告 <文字>";
inline constexpr char kAnnounceNeedsRestApiReply[] = "发公告需要服务端开启 REST API";
inline constexpr char kAlreadyRunningReply[] = "服务端已在运行";
inline constexpr char kNothingToConfirmReply[] = "没有等待确认的指令";
inline constexpr char kBackupStartedReply[] = "正在创建备份点…";

// A name, id or other text from a stranger as a reply or log line shows it: on one line, nothing
// hidden, at most 32 characters.
std::string ShownName(std::string_view name);

// "服务端: 运行中\n版本: v0.6.1\n在线玩家: 3/32\n已运行: 2 小时 5 分\nFPS: 58\n内存: 6.2 GB\n
// 最近备份: 2026-12-10 14:05\n最近崩溃: …", each line after the first only when it is known.
std::string StatusReply(const ServerSnapshot& server);

// "在线玩家 (3): 甲, 乙, 丙", the first 30 names and "等 N 人" after them when there are more,
// "当前没有玩家在线", or why no one can be online.
std::string PlayersReply(const ServerSnapshot& server);

// Every command on a line of its own, the admins' ones marked "(管理员)".
std::string HelpReply();

// Why a command that needs the running server cannot go on in this state: "服务端没有运行", or that
// it is starting or shutting down.
std::string NotRunningReply(ServerRunState state);

// What the tool is busy with, for a command that would change the server meanwhile:
// "服务端正在重启, 请稍候", "正在备份, 请稍候".
std::string BusyReply(ServerWork work);

// The question before a restart, stop or start, which names what will happen and how to confirm:
// "将安全重启服务端 (在线 3 人, 先通知 1 分钟) - 60 秒内发送 /确认 执行".
std::string ConfirmQuestion(RemoteVerb verb, const ServerSnapshot& server);

// The answer once a confirmed restart, stop or start is handed on: "正在安全重启服务端".
std::string CarryingOutReply(RemoteVerb verb, const ServerSnapshot& server);

// The answer to an announcement being sent, with its text as shown.
std::string AnnouncingReply(std::string_view announcement);

// The reply with every secret of the host's (admin password, tokens, webhook addresses and their
// secrets) that occurs in it replaced by "***", also where it shows escaped; secrets shorter than
// 4 bytes are ignored.
std::string WithoutSecrets(std::string reply, const std::vector<std::string>& secrets);

}  // namespace tidemoor
