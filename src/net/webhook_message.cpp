#include "net/webhook_message.h"

#include <nlohmann/json.hpp>

#include "platform/text.h"

namespace tidemoor {
namespace {

using Json = nlohmann::json;

std::string_view PathOf(std::string_view url) {
  const size_t scheme = url.find("://");
  if (scheme == std::string_view::npos) return {};
  std::string_view rest = url.substr(scheme + 3);
  rest = rest.substr(0, rest.find_first_of("?#"));
  const size_t slash = rest.find('/');
  return slash == std::string_view::npos ? std::string_view{} : rest.substr(slash);
}

// Broken UTF-8 (a name cut in the middle of a character) must not stop the alert.
std::string Dump(const Json& body) {
  return body.dump(-1, ' ', false, Json::error_handler_t::replace);
}

std::string DingTalkSignedUrl(const std::string& url, const std::string& secret,
                              int64_t unixMilliseconds, const HmacSha256Function& hmac) {
  const std::string timestamp = std::to_string(unixMilliseconds);
  const std::string sign = Base64(hmac(secret, timestamp + "\n" + secret));
  return url + (url.find('?') == std::string::npos ? "?" : "&") + "timestamp=" + timestamp +
         "&sign=" + UrlEncode(sign);
}

}  // namespace

WebhookFormat FormatOfAddress(std::string_view url) {
  const std::string_view path = PathOf(url);
  if (path.starts_with("/api/webhooks/")) return WebhookFormat::Discord;
  if (path == "/cgi-bin/webhook/send") return WebhookFormat::WeCom;
  if (path == "/robot/send") return WebhookFormat::DingTalk;
  if (path.starts_with("/open-apis/bot/v2/hook/")) return WebhookFormat::Feishu;
  return WebhookFormat::Plain;
}

std::string AlertChatText(const WebhookAlert& alert) {
  return "【" + alert.server + "】\n" + alert.text + "\n" + alert.time;
}

WebhookRequest BuildWebhookRequest(const WebhookAddress& address, const WebhookAlert& alert,
                                   int64_t unixMilliseconds, const HmacSha256Function& hmac) {
  const std::string chat = AlertChatText(alert);
  switch (FormatOfAddress(address.url)) {
    case WebhookFormat::Discord:
      return {address.url, Dump({{"content", chat}})};
    case WebhookFormat::WeCom:
      return {address.url, Dump({{"msgtype", "text"}, {"text", {{"content", chat}}}})};
    case WebhookFormat::DingTalk: {
      const std::string body = Dump({{"msgtype", "text"}, {"text", {{"content", chat}}}});
      if (address.secret.empty()) return {address.url, body};
      return {DingTalkSignedUrl(address.url, address.secret, unixMilliseconds, hmac), body};
    }
    case WebhookFormat::Feishu: {
      Json body = {{"msg_type", "text"}, {"content", {{"text", chat}}}};
      if (!address.secret.empty()) {
        const std::string timestamp = std::to_string(unixMilliseconds / 1000);
        body["timestamp"] = timestamp;
        body["sign"] = Base64(hmac(timestamp + "\n" + address.secret, ""));
      }
      return {address.url, Dump(body)};
    }
    case WebhookFormat::Plain:
      break;
  }
  return {address.url, Dump({{"event", alert.event},
                             {"text", alert.text},
                             {"time", alert.time},
                             {"server", alert.server}})};
}

WebhookResult JudgeWebhookAnswer(const HttpAnswer& answer) {
  const std::string status = HttpFailureText(answer.status, answer.failure, answer.networkError);
  if (answer.status < 200 || answer.status > 299) {
    return {false, status.empty() ? std::string("无回应") : status};
  }
  const Json body = Json::parse(answer.body, nullptr, false);
  if (body.is_object()) {
    for (const char* field : {"errcode", "code"}) {
      const auto code = body.find(field);
      if (code == body.end() || !code->is_number_integer() || code->get<int64_t>() == 0) continue;
      std::string text = status + ", " + field + " " + std::to_string(code->get<int64_t>());
      for (const char* message : {"errmsg", "msg"}) {
        const auto said = body.find(message);
        if (said != body.end() && said->is_string()) text += " (" + said->get<std::string>() + ")";
      }
      return {false, text};
    }
  }
  return {true, status};
}

}  // namespace tidemoor
