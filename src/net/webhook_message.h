#pragma once
// The request that carries one alert to a webhook address. The chat app is told by the address's
// path, not its host, so a relay or a local receiver with the same path gets the same shape.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "net/alert_settings.h"
#include "platform/http_answer.h"

namespace tidemoor {

enum class WebhookFormat {
  Discord,   // /api/webhooks/…
  WeCom,     // /cgi-bin/webhook/send, the WeCom group robot
  DingTalk,  // /robot/send, the DingTalk custom robot
  Feishu,    // /open-apis/bot/v2/hook/…, the Feishu / Lark custom bot
  Plain,     // anything else: the alert's own fields
};

// The format the address's path asks for. The path is what follows the host (and port) up to
// the query; an address without a scheme has no path.
WebhookFormat FormatOfAddress(std::string_view url);

// One thing that happened, as the host reads it.
struct WebhookAlert {
  std::string event;   // a Notify_Events key, or "test" for the window's test message
  std::string text;    // what happened, one line or a few
  std::string time;    // local time as the tool shows it
  std::string server;  // the server's name in the list
};

// The HMAC-SHA256 of message keyed by key: the 32 raw bytes.
using HmacSha256Function =
    std::function<std::string(std::string_view key, std::string_view message)>;

struct WebhookRequest {
  std::string url;
  std::string body;  // JSON, UTF-8
};

// The request for the alert at the given moment (milliseconds since 1970, UTC). A secret signs
// the DingTalk (in the query) and Feishu (in the body) shapes; the others ignore it.
WebhookRequest BuildWebhookRequest(const WebhookAddress& address, const WebhookAlert& alert,
                                   int64_t unixMilliseconds, const HmacSha256Function& hmac);

// The text a chat app shows: the server's name, what happened and when.
std::string AlertChatText(const WebhookAlert& alert);

// What became of a send, in the words the test button and the event log use: "HTTP 200", why
// no answer came ("连接超时"…), or the robot's own refusal. The chat robots answer a bad
// signature or a muted robot with HTTP 200 and an error code in the body, which is no delivery.
struct WebhookResult {
  bool delivered = false;
  std::string text;
};
WebhookResult JudgeWebhookAnswer(const HttpAnswer& answer);

}  // namespace tidemoor
