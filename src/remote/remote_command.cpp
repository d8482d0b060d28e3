#include "remote/remote_command.h"

namespace tidemoor {
namespace {

constexpr std::string_view kIdeographicBlank = "\xE3\x80\x80";
constexpr std::string_view kFullWidthSlash = "\xEF\xBC\x8F";

struct VerbWord {
  std::string_view word;
  RemoteVerb verb;
};

// No word starts with another, so the first that fits is the only one.
constexpr VerbWord kVerbWords[] = {
    {"状态", RemoteVerb::Status}, {"玩家", RemoteVerb::Players}, {"公告", RemoteVerb::Announce},
    {"备份", RemoteVerb::Backup}, {"重启", RemoteVerb::Restart}, {"关服", RemoteVerb::Stop},
    {"开服", RemoteVerb::Start},  {"确认", RemoteVerb::Confirm}, {"帮助", RemoteVerb::Help},
};

bool IsAsciiBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

// Chat apps and Chinese input methods leave ASCII blanks, line breaks and the full-width blank
// around what was typed.
std::string_view WithoutChatBlanks(std::string_view text) {
  for (;;) {
    if (!text.empty() && IsAsciiBlank(text.front())) {
      text.remove_prefix(1);
    } else if (text.starts_with(kIdeographicBlank)) {
      text.remove_prefix(kIdeographicBlank.size());
    } else if (!text.empty() && IsAsciiBlank(text.back())) {
      text.remove_suffix(1);
    } else if (text.ends_with(kIdeographicBlank)) {
      text.remove_suffix(kIdeographicBlank.size());
    } else {
      return text;
    }
  }
}

bool StartsWithBlank(std::string_view text) {
  return (!text.empty() && IsAsciiBlank(text.front())) || text.starts_with(kIdeographicBlank);
}

}  // namespace

std::optional<RemoteCommand> ReadRemoteCommand(std::string_view text, bool addressedToBot) {
  text = WithoutChatBlanks(text);
  if (text.starts_with('/')) {
    text.remove_prefix(1);
  } else if (text.starts_with(kFullWidthSlash)) {
    text.remove_prefix(kFullWidthSlash.size());
  } else if (!addressedToBot) {
    return std::nullopt;
  }
  for (const VerbWord& entry : kVerbWords) {
    if (!text.starts_with(entry.word)) continue;
    const std::string_view rest = text.substr(entry.word.size());
    if (rest.empty()) return RemoteCommand{entry.verb, ""};
    if (entry.verb != RemoteVerb::Announce || !StartsWithBlank(rest)) return std::nullopt;
    return RemoteCommand{entry.verb, std::string(WithoutChatBlanks(rest))};
  }
  return std::nullopt;
}

bool NeedsAdmin(RemoteVerb verb) {
  return verb != RemoteVerb::Status && verb != RemoteVerb::Players && verb != RemoteVerb::Help;
}

std::string CommandText(RemoteVerb verb) {
  for (const VerbWord& entry : kVerbWords) {
    if (entry.verb == verb) return "/" + std::string(entry.word);
  }
  return {};
}

}  // namespace tidemoor
