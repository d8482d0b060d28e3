#include "remote/remote_session.h"

#include <algorithm>
#include <optional>

#include "platform/text.h"
#include "remote/remote_replies.h"

namespace tidemoor {
namespace {

constexpr auto kConfirmWithin = std::chrono::seconds(60);
constexpr auto kRefusalQuiet = std::chrono::hours(1);
constexpr size_t kRecentAuthors = 20;
constexpr size_t kAnnouncementCharacters = 200;

std::string ByAuthor(const ChatMessage& message) {
  return " 由 " + ShownName(message.authorName) + " (" + ShownName(message.authorId) + ")";
}

// The broadcast goes to one line of the game's chat: line breaks and other controls become
// blanks, and it is cut after 200 characters, never inside one.
std::string AnnouncementText(std::string_view text) {
  std::string out;
  size_t characters = 0;
  for (size_t i = 0; i < text.size() && characters < kAnnouncementCharacters; ++characters) {
    const size_t start = i;
    const char32_t c = DecodeUtf8(text, i);
    if (c < 0x20 || c == 0x7F) {
      out += ' ';
    } else {
      out.append(text.substr(start, i - start));
    }
  }
  return std::string(TrimBlanks(out));
}

// What keeps a restart, stop or start from going ahead now, both when it is asked for and when
// it is confirmed.
std::optional<std::string> Obstacle(RemoteVerb verb, const ServerSnapshot& server) {
  if (server.work != ServerWork::None) return BusyReply(server.work);
  if (verb == RemoteVerb::Start) {
    if (server.state == ServerRunState::Running) return kAlreadyRunningReply;
    if (server.state != ServerRunState::Stopped) return NotRunningReply(server.state);
  } else if (server.state != ServerRunState::Running) {
    return NotRunningReply(server.state);
  }
  return std::nullopt;
}

RemoteAction ActionOf(RemoteVerb verb) {
  switch (verb) {
    case RemoteVerb::Restart:
      return RemoteAction::Restart;
    case RemoteVerb::Stop:
      return RemoteAction::Stop;
    case RemoteVerb::Start:
      return RemoteAction::Start;
    default:
      break;
  }
  return RemoteAction::None;
}

}  // namespace

RemoteDecision RemoteSession::Answer(const ChatMessage& message, const ServerSnapshot& server,
                                     const std::vector<std::string>& admins,
                                     std::chrono::steady_clock::time_point now) {
  NoteAuthor(message);
  const std::optional<RemoteCommand> command =
      ReadRemoteCommand(message.text, message.isPrivate || message.mentionsBot);
  if (!command || !rateLimit_.Admit(message.authorId, now)) return {};

  // A question left unconfirmed for a minute lapses: /确认 then finds nothing.
  std::erase_if(pending_,
                [&](const auto& entry) { return now - entry.second.asked > kConfirmWithin; });
  std::erase_if(refused_, [&](const auto& entry) { return now - entry.second >= kRefusalQuiet; });
  const bool admin = std::find(admins.begin(), admins.end(), message.authorId) != admins.end();
  if (NeedsAdmin(command->verb) && !admin) {
    return Refuse(message, command->verb, admins.empty(), now);
  }

  switch (command->verb) {
    case RemoteVerb::Status:
      return {StatusReply(server)};
    case RemoteVerb::Players:
      return {PlayersReply(server)};
    case RemoteVerb::Help:
      return {HelpReply()};
    case RemoteVerb::Announce:
      return Announce(message, server, command->argument);
    case RemoteVerb::Backup:
      if (server.work != ServerWork::None) return {BusyReply(server.work)};
      return {kBackupStartedReply, RemoteAction::Backup, "",
              "远程指令: " + CommandText(RemoteVerb::Backup) + ByAuthor(message)};
    case RemoteVerb::Restart:
    case RemoteVerb::Stop:
    case RemoteVerb::Start:
      return Ask(message, command->verb, server, now);
    case RemoteVerb::Confirm:
      return Confirm(message, server);
  }
  return {};
}

std::vector<std::pair<std::string, std::string>> RemoteSession::RecentAuthors() const {
  return {recentAuthors_.begin(), recentAuthors_.end()};
}

void RemoteSession::NoteAuthor(const ChatMessage& message) {
  if (message.authorId.empty()) return;
  std::erase_if(recentAuthors_,
                [&](const auto& author) { return author.first == message.authorId; });
  recentAuthors_.emplace_front(message.authorId, ShownName(message.authorName));
  if (recentAuthors_.size() > kRecentAuthors) recentAuthors_.pop_back();
}

RemoteDecision RemoteSession::Refuse(const ChatMessage& message, RemoteVerb verb, bool noAdmins,
                                     std::chrono::steady_clock::time_point now) {
  if (refused_.contains(message.authorId)) return {};
  refused_[message.authorId] = now;
  return {noAdmins ? kNoAdminsReply : kNotAdminReply, RemoteAction::None, "",
          "远程指令被拒绝 (不是管理员): " + CommandText(verb) + ByAuthor(message)};
}

RemoteDecision RemoteSession::Announce(const ChatMessage& message, const ServerSnapshot& server,
                                       const std::string& text) {
  const std::string announcement = AnnouncementText(text);
  if (announcement.empty()) return {kAnnounceUsageReply};
  if (server.state != ServerRunState::Running) return {NotRunningReply(server.state)};
  if (!server.restApi) return {kAnnounceNeedsRestApiReply};
  const std::string shown = EscapeControlCharacters(announcement);
  return {AnnouncingReply(announcement), RemoteAction::Announce, announcement,
          "远程指令: " + CommandText(RemoteVerb::Announce) + " " + shown + ByAuthor(message)};
}

RemoteDecision RemoteSession::Ask(const ChatMessage& message, RemoteVerb verb,
                                  const ServerSnapshot& server,
                                  std::chrono::steady_clock::time_point now) {
  if (const auto obstacle = Obstacle(verb, server)) return {*obstacle};
  pending_.insert_or_assign(message.authorId, Pending{verb, now});
  return {ConfirmQuestion(verb, server)};
}

RemoteDecision RemoteSession::Confirm(const ChatMessage& message, const ServerSnapshot& server) {
  const auto pending = pending_.find(message.authorId);
  if (pending == pending_.end()) return {kNothingToConfirmReply};
  const RemoteVerb verb = pending->second.verb;
  pending_.erase(pending);
  if (const auto obstacle = Obstacle(verb, server)) return {*obstacle};
  return {CarryingOutReply(verb, server), ActionOf(verb), "",
          "远程指令: " + CommandText(verb) + ByAuthor(message)};
}

}  // namespace tidemoor
