#include "net/webhook_message.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/text.h"

namespace tidemoor {
namespace {

TEST(WebhookFormat, FollowsTheAddressPathWhateverTheHost) {
  const struct {
    const char* url;
    WebhookFormat format;
  } cases[] = {
      {"https://discord.com/api/webhooks/123/abc", WebhookFormat::Discord},
      {"http://127.0.0.1:8080/api/webhooks/1/x?wait=true", WebhookFormat::Discord},
      {"https://discord.com/api/webhooks", WebhookFormat::Plain},
      {"https://qyapi.weixin.qq.com/cgi-bin/webhook/send?key=k", WebhookFormat::WeCom},
      {"http://relay.lan/cgi-bin/webhook/send/more", WebhookFormat::Plain},
      {"https://oapi.dingtalk.com/robot/send?access_token=t", WebhookFormat::DingTalk},
      {"http://127.0.0.1:9/robot/send", WebhookFormat::DingTalk},
      {"https://oapi.dingtalk.com/robot/sendx", WebhookFormat::Plain},
      {"https://open.feishu.cn/open-apis/bot/v2/hook/uuid", WebhookFormat::Feishu},
      {"https://open.larksuite.com/open-apis/bot/v2/hook/uuid#x", WebhookFormat::Feishu},
      {"https://example.com/hook?next=/robot/send", WebhookFormat::Plain},
      {"example.com/api/webhooks/1", WebhookFormat::Plain},
      {"https://example.com", WebhookFormat::Plain},
      {"", WebhookFormat::Plain},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatOfAddress(c.url), c.format) << c.url;
}

// A stand-in for the HMAC that shows what was signed with which key; the real one is checked
// against published vectors on Windows.
struct SigningRecord {
  std::vector<std::pair<std::string, std::string>> calls;
  HmacSha256Function Function() {
    return [this](std::string_view key, std::string_view message) {
      calls.emplace_back(key, message);
      return std::string("\xfb\xff\x3e", 3);  // Base64 "+/8+", which the query must escape
    };
  }
};

TEST(WebhookRequest, EachChatAppGetsItsShapeAndSignature) {
  const WebhookAlert alert{"crash", "服务端崩溃 \"x\"", "2026年12月9日 - 14时:05分:09秒", "Alpha"};
  const std::string chat = "【Alpha】\\n服务端崩溃 \\\"x\\\"\\n2026年12月9日 - 14时:05分:09秒";
  const struct {
    const char* url;
    const char* secret;
    std::string wantUrl;
    std::string wantBody;
    std::vector<std::pair<std::string, std::string>> signed_;
  } cases[] = {
      {"https://d/api/webhooks/1/t",
       "ignored",
       "https://d/api/webhooks/1/t",
       "{\"content\":\"" + chat + "\"}",
       {}},
      {"https://q/cgi-bin/webhook/send?key=k",
       "",
       "https://q/cgi-bin/webhook/send?key=k",
       "{\"msgtype\":\"text\",\"text\":{\"content\":\"" + chat + "\"}}",
       {}},
      {"https://o/robot/send?access_token=t",
       "",
       "https://o/robot/send?access_token=t",
       "{\"msgtype\":\"text\",\"text\":{\"content\":\"" + chat + "\"}}",
       {}},
      {"https://o/robot/send?access_token=t",
       "SECk",
       "https://o/robot/send?access_token=t&timestamp=1765289109123&sign=%2B%2F8%2B",
       "{\"msgtype\":\"text\",\"text\":{\"content\":\"" + chat + "\"}}",
       {{"SECk", "1765289109123\nSECk"}}},
      {"http://127.0.0.1:5/robot/send",
       "SECk",
       "http://127.0.0.1:5/robot/send?timestamp=1765289109123&sign=%2B%2F8%2B",
       "{\"msgtype\":\"text\",\"text\":{\"content\":\"" + chat + "\"}}",
       {{"SECk", "1765289109123\nSECk"}}},
      {"https://f/open-apis/bot/v2/hook/u",
       "",
       "https://f/open-apis/bot/v2/hook/u",
       "{\"content\":{\"text\":\"" + chat + "\"},\"msg_type\":\"text\"}",
       {}},
      {"https://f/open-apis/bot/v2/hook/u",
       "fs",
       "https://f/open-apis/bot/v2/hook/u",
       "{\"content\":{\"text\":\"" + chat +
           "\"},\"msg_type\":\"text\",\"sign\":\"+/8+\",\"timestamp\":\"1765289109\"}",
       {{"1765289109\nfs", ""}}},
      {"http://127.0.0.1:7/alerts",
       "s",
       "http://127.0.0.1:7/alerts",
       "{\"event\":\"crash\",\"server\":\"Alpha\",\"text\":\"服务端崩溃 \\\"x\\\"\",\"time\":"
       "\"2026年12月9日 - 14时:05分:09秒\"}",
       {}},
  };
  for (const auto& c : cases) {
    SigningRecord record;
    const WebhookRequest request =
        BuildWebhookRequest({c.url, c.secret}, alert, 1765289109123, record.Function());
    EXPECT_EQ(request.url, c.wantUrl) << c.url;
    EXPECT_EQ(request.body, c.wantBody) << c.url;
    EXPECT_EQ(record.calls, c.signed_) << c.url;
  }
}

TEST(WebhookRequest, BrokenUtf8InANameStillSends) {
  const WebhookRequest request =
      BuildWebhookRequest({"https://d/api/webhooks/1/t", ""}, {"start", "x", "t", "名\xe5"}, 0, {});
  EXPECT_NE(request.body.find("\xef\xbf\xbd"), std::string::npos);
}

TEST(WebhookEncoding, UrlEncodingEscapesAllButTheUnreservedCharacters) {
  EXPECT_EQ(UrlEncode("aZ09-_.~ +/=&\n中"), "aZ09-_.~%20%2B%2F%3D%26%0A%E4%B8%AD");
}

// The robots answer a refused message with HTTP 200 and an error code: that is no delivery.
TEST(WebhookAnswer, OnlyASuccessWithoutAnErrorCodeIsADelivery) {
  const struct {
    HttpAnswer answer;
    bool delivered;
    const char* text;
  } cases[] = {
      {{204, ""}, true, "HTTP 204"},
      {{200, "{\"errcode\":0,\"errmsg\":\"ok\"}"}, true, "HTTP 200"},
      {{200, "{\"code\":0,\"msg\":\"success\"}"}, true, "HTTP 200"},
      {{200, "not json"}, true, "HTTP 200"},
      {{200, "{\"errcode\":310000,\"errmsg\":\"sign not match\"}"},
       false,
       "HTTP 200, errcode 310000 (sign not match)"},
      {{200, "{\"code\":19021,\"msg\":\"sign match fail\"}"},
       false,
       "HTTP 200, code 19021 (sign match fail)"},
      {{500, "{}"}, false, "HTTP 500"},
      {{301, ""}, false, "HTTP 301"},
      {{0, "", HttpFailure::TimedOut}, false, "连接超时"},
      {{0, "", HttpFailure::Refused}, false, "连接被拒绝"},
      {{0, ""}, false, "无回应"},
  };
  for (const auto& c : cases) {
    const WebhookResult result = JudgeWebhookAnswer(c.answer);
    EXPECT_EQ(result.delivered, c.delivered) << c.text;
    EXPECT_EQ(result.text, c.text);
  }
}

}  // namespace
}  // namespace tidemoor
