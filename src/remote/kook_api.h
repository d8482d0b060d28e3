#pragma once
// KOOK's HTTP API as the bot uses it: where to connect, who the bot is, how it replies, and how
// long it waits before connecting again.

#include <chrono>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "remote/chat_message.h"

namespace tidemoor {

// GET <api>/gateway/index?compress=0 answer {"code":0,"data":{"url":"wss://…"}} → the url.
std::optional<std::string> ReadKookGateway(std::string_view body);

// GET <api>/user/me answer {"code":0,"data":{"id":"…","username":"…"}} → the bot's own id.
std::optional<std::string> ReadKookSelf(std::string_view body);

// The WebSocket address to connect to: the gateway url, plus for a resume of the session
// {last sn, session id} "&resume=1&sn=<sn>&session_id=<id>" ('?' if the url has no query).
std::string KookSocketUrl(std::string_view gatewayUrl,
                          std::optional<std::pair<uint64_t, std::string>> resume);

// A request to KOOK's API: the path under <api> and its JSON body.
struct KookPost {
  std::string path;
  std::string body;
};

// The reply to a message as plain text quoting it: "/message/create" into its channel, or
// "/direct-message/create" to its author for a private one.
KookPost KookReply(const ChatMessage& to, std::string_view text);

// Whether a KOOK API answer {"code":0,...} says the request was done.
bool KookAnswerOk(std::string_view body);

// How long to wait before connecting again after the given number of failures in a row (1, 2,
// 3 …): 2, 4, 8, 16, 32, then 60 seconds each time.
std::chrono::seconds KookBackOff(int failures);

}  // namespace tidemoor
