#pragma once
// The bot's decisions on what people write to it in a chat app: who may do what, when, and what
// it answers. The app carries out the action and sends the reply.

#include <chrono>
#include <deque>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "remote/chat_message.h"
#include "remote/remote_command.h"
#include "remote/remote_rate_limit.h"
#include "remote/server_snapshot.h"

namespace tidemoor {

enum class RemoteAction { None, Announce, Backup, Restart, Stop, Start };

struct RemoteDecision {
  std::string reply;                         // "" = say nothing
  RemoteAction action = RemoteAction::None;  // for the app to carry out now
  std::string announcement;                  // the broadcast text for Announce
  std::string logLine;  // "" or the event log line, e.g. "远程指令: /重启 由 <name> (<id>)"
};

class RemoteSession {
 public:
  // admins: user ids allowed to change anything (empty: only reading commands work).
  RemoteDecision Answer(const ChatMessage& message, const ServerSnapshot& server,
                        const std::vector<std::string>& admins,
                        std::chrono::steady_clock::time_point now);

  // The last 20 distinct authors seen, newest first, as {id, name as shown}: whom the host may
  // pick as an admin.
  std::vector<std::pair<std::string, std::string>> RecentAuthors() const;

  // Puts the author among the recent ones without answering (a private message from someone who is
  // not an admin: the host may be making themselves one).
  void NoteAuthor(const ChatMessage& message);

 private:
  // A restart, stop or start that waits for the same person's /确认.
  struct Pending {
    RemoteVerb verb;
    std::chrono::steady_clock::time_point asked;
  };

  RemoteDecision Refuse(const ChatMessage& message, RemoteVerb verb, bool noAdmins,
                        std::chrono::steady_clock::time_point now);
  RemoteDecision Announce(const ChatMessage& message, const ServerSnapshot& server,
                          const std::string& text);
  RemoteDecision Ask(const ChatMessage& message, RemoteVerb verb, const ServerSnapshot& server,
                     std::chrono::steady_clock::time_point now);
  RemoteDecision Confirm(const ChatMessage& message, const ServerSnapshot& server);

  RemoteRateLimit rateLimit_;
  std::map<std::string, Pending> pending_;  // by author id
  // When each person was last told they may not: told once an hour, silent in between.
  std::map<std::string, std::chrono::steady_clock::time_point> refused_;
  std::deque<std::pair<std::string, std::string>> recentAuthors_;
};

}  // namespace tidemoor
