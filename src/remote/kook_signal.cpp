#include "remote/kook_signal.h"

#include <nlohmann/json.hpp>
#include <vector>

namespace tidemoor {
namespace {

using Json = nlohmann::json;

const Json* Member(const Json& object, const char* name) {
  if (!object.is_object()) return nullptr;
  const auto found = object.find(name);
  return found == object.end() ? nullptr : &*found;
}

std::string TextOf(const Json& object, const char* name) {
  const Json* member = Member(object, name);
  return member && member->is_string() ? member->get<std::string>() : std::string();
}

int64_t IntegerOf(const Json& object, const char* name) {
  const Json* member = Member(object, name);
  return member && member->is_number_integer() ? member->get<int64_t>() : 0;
}

// KOOK gives user ids as strings; a number is read the same way.
std::string IdText(const Json& id) {
  if (id.is_string()) return id.get<std::string>();
  if (id.is_number_unsigned()) return std::to_string(id.get<uint64_t>());
  return {};
}

bool IsAsciiPunctuation(char c) {
  return (c >= 0x21 && c <= 0x2F) || (c >= 0x3A && c <= 0x40) || (c >= 0x5B && c <= 0x60) ||
         (c >= 0x7B && c <= 0x7E);
}

struct KMarkdownText {
  std::string text;
  std::vector<std::string> mentioned;
};

// KOOK's clients send what people type as KMarkdown: "/" arrives as "\/", "(" as "\(", and an
// @-mention as "(met)<id>(met)".
KMarkdownText ReadKMarkdown(std::string_view content) {
  constexpr std::string_view kMention = "(met)";
  KMarkdownText read;
  for (size_t i = 0; i < content.size();) {
    if (content[i] == '\\' && i + 1 < content.size() && IsAsciiPunctuation(content[i + 1])) {
      read.text += content[i + 1];
      i += 2;
      continue;
    }
    if (content.substr(i).starts_with(kMention)) {
      const size_t end = content.find(kMention, i + kMention.size());
      if (end != std::string_view::npos) {
        const size_t id = i + kMention.size();
        read.mentioned.emplace_back(content.substr(id, end - id));
        i = end + kMention.size();
        continue;
      }
    }
    read.text += content[i++];
  }
  return read;
}

std::optional<ChatMessage> EventMessage(const Json& d, std::string_view selfId) {
  constexpr int64_t kText = 1, kKMarkdown = 9;
  const int64_t type = IntegerOf(d, "type");
  if (type != kText && type != kKMarkdown) return std::nullopt;
  const std::string channelType = TextOf(d, "channel_type");
  if (channelType != "GROUP" && channelType != "PERSON") return std::nullopt;

  const Json* extra = Member(d, "extra");
  const Json* author = extra ? Member(*extra, "author") : nullptr;
  const Json* bot = author ? Member(*author, "bot") : nullptr;
  ChatMessage message;
  message.authorId = TextOf(d, "author_id");
  if (message.authorId.empty() || message.authorId == selfId) return std::nullopt;
  if (bot && bot->is_boolean() && bot->get<bool>()) return std::nullopt;

  if (author) {
    message.authorName = TextOf(*author, "nickname");
    if (message.authorName.empty()) message.authorName = TextOf(*author, "username");
  }
  message.isPrivate = channelType == "PERSON";
  if (!message.isPrivate) message.channel = TextOf(d, "target_id");
  message.messageId = TextOf(d, "msg_id");

  KMarkdownText content{TextOf(d, "content"), {}};
  if (type == kKMarkdown) content = ReadKMarkdown(content.text);
  message.text = std::move(content.text);
  if (!selfId.empty()) {
    for (const std::string& id : content.mentioned) message.mentionsBot |= id == selfId;
    const Json* mention = extra ? Member(*extra, "mention") : nullptr;
    if (mention && mention->is_array()) {
      for (const Json& id : *mention) message.mentionsBot |= IdText(id) == selfId;
    }
  }
  return message;
}

std::string Frame(int signal, uint64_t sn) {
  return Json{{"s", signal}, {"sn", sn}}.dump();
}

}  // namespace

KookSignal ReadKookSignal(std::string_view frame, std::string_view selfId) {
  const Json json = Json::parse(frame, nullptr, false);
  const Json* s = Member(json, "s");
  if (!s || !s->is_number_integer()) return {};
  const Json none;
  const Json* found = Member(json, "d");
  const Json& d = found ? *found : none;
  KookSignal signal;
  switch (s->get<int64_t>()) {
    case 0:
      signal.kind = KookSignalKind::Event;
      if (const Json* sn = Member(json, "sn"); sn && sn->is_number_unsigned()) {
        signal.sn = sn->get<uint64_t>();
      }
      signal.message = EventMessage(d, selfId);
      break;
    case 1:
      signal.kind = KookSignalKind::Hello;
      signal.code = static_cast<int>(IntegerOf(d, "code"));
      signal.sessionId = TextOf(d, "session_id");
      break;
    case 3:
      signal.kind = KookSignalKind::Pong;
      break;
    case 5:
      signal.kind = KookSignalKind::Reconnect;
      signal.code = static_cast<int>(IntegerOf(d, "code"));
      break;
    case 6:
      signal.kind = KookSignalKind::ResumeAck;
      signal.sessionId = TextOf(d, "session_id");
      break;
    default:
      signal.kind = KookSignalKind::Other;
      break;
  }
  return signal;
}

std::string KookPing(uint64_t lastSn) {
  return Frame(2, lastSn);
}

std::string KookResume(uint64_t lastSn) {
  return Frame(4, lastSn);
}

}  // namespace tidemoor
