#pragma once
// The signals of KOOK's bot gateway: the JSON text frames {"s":…} that come over the WebSocket,
// and the two the bot sends itself.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "remote/chat_message.h"

namespace tidemoor {

enum class KookSignalKind {
  Event,      // s 0: something happened; carries its sequence number
  Hello,      // s 1: the answer to connecting, with the session or why it was refused
  Pong,       // s 3: the answer to a ping
  Reconnect,  // s 5: the session is over; start a new one from the gateway
  ResumeAck,  // s 6: a resumed session goes on
  Other,      // a signal the bot has no use for
  Garbage,    // not a signal at all
};

struct KookSignal {
  KookSignalKind kind = KookSignalKind::Garbage;
  std::optional<uint64_t> sn;          // events
  std::string sessionId;               // Hello (d.session_id), ResumeAck
  int code = 0;                        // Hello (0 ok; 40100..40108 refusals), Reconnect
  std::optional<ChatMessage> message;  // an event that is a text message from a person
};

// selfId: the bot's own user id, so its own messages are dropped and mentions of it recognised.
// Only text and KMarkdown messages in a channel or a private chat from a person (not a bot) become
// a message; in KMarkdown the mentions "(met)<id>(met)" are taken out and the backslash escapes
// undone, so the text reads as it was typed.
KookSignal ReadKookSignal(std::string_view frame, std::string_view selfId);

std::string KookPing(uint64_t lastSn);    // {"s":2,"sn":N}
std::string KookResume(uint64_t lastSn);  // {"s":4,"sn":N}

}  // namespace tidemoor
