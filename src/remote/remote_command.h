#pragma once
// The commands friends and admins type in a chat app to look at or steer the server.

#include <optional>
#include <string>
#include <string_view>

namespace tidemoor {

enum class RemoteVerb { Status, Players, Announce, Backup, Restart, Stop, Start, Confirm, Help };

struct RemoteCommand {
  RemoteVerb verb;
  std::string argument;  // the announcement's text; "" for every other command
};

// "/状态", "/玩家", "/公告 <文字>", "/备份", "/重启", "/关服", "/开服", "/确认", "/帮助", with an
// ASCII or a full-width slash and blanks (the full-width one too) around it. Without the slash the
// text is a command only when it is addressed to the bot (a mention or a private message), so talk
// in a channel never triggers anything. Only "/公告" takes text, after a blank; "/公告" alone is
// the command with an empty argument. Anything else is no command.
std::optional<RemoteCommand> ReadRemoteCommand(std::string_view text, bool addressedToBot);

// Whether only an admin may use the command: everything that changes the server or speaks to
// its players, and the confirmation that carries such a command out.
bool NeedsAdmin(RemoteVerb verb);

// The command as it is typed: "/重启".
std::string CommandText(RemoteVerb verb);

}  // namespace tidemoor
