#include "net/hmac_sha256_win.h"

#include <gtest/gtest.h>

#include "net/webhook_message.h"
#include "platform/text.h"

namespace tidemoor {
namespace {

std::string Hex(const std::string& bytes) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  for (const char c : bytes) {
    text += kDigits[static_cast<unsigned char>(c) >> 4];
    text += kDigits[static_cast<unsigned char>(c) & 15];
  }
  return text;
}

std::string Counting(int first, int last) {
  std::string bytes;
  for (int b = first; b <= last; ++b) bytes += static_cast<char>(b);
  return bytes;
}

// The published HMAC-SHA256 test vectors (RFC 4231, the untruncated ones), and the two chat
// robots' signatures worked out independently for a known time and secret.
TEST(HmacSha256, MatchesPublishedVectorsAndTheRobotsSignatures) {
  const struct {
    std::string key;
    std::string message;
    const char* hex;
  } cases[] = {
      {std::string(20, '\x0b'), "Hi There",
       "b0344c61d8db38535ca8afceaf0bf12b881dc200c9833da726e9376c2e32cff7"},
      {"Jefe", "what do ya want for nothing?",
       "5bdcc146bf60754e6a042426089575c75a003f089d2739839dec58b964ec3843"},
      {std::string(20, '\xaa'), std::string(50, '\xdd'),
       "773ea91e36800e46854db8ebd09181a72959098b3ef8c122d9635514ced565fe"},
      {Counting(1, 25), std::string(50, '\xcd'),
       "82558a389a443c0ea4cc819899f2083a85f0faa3e578f8077a2e3ff46729665b"},
      {std::string(131, '\xaa'), "Test Using Larger Than Block-Size Key - Hash Key First",
       "60e431591ee0b67f0d8a26aacbf5b77f8e0bc6213728c5140546040f0ee37f54"},
  };
  for (const auto& c : cases) EXPECT_EQ(Hex(HmacSha256(c.key, c.message)), c.hex) << c.hex;

  const WebhookAlert alert{"crash", "x", "t", "s"};
  const WebhookRequest dingTalk = BuildWebhookRequest(
      {"https://o/robot/send?access_token=t", "SEC123"}, alert, 1765289109123, &HmacSha256);
  EXPECT_EQ(dingTalk.url,
            "https://o/robot/send?access_token=t&timestamp=1765289109123&sign="
            "VtIFjQyVjzBSvVgmDmlsaK%2FpVoEsj%2BT84tEBeZ1owu0%3D");
  const WebhookRequest feishu = BuildWebhookRequest(
      {"https://f/open-apis/bot/v2/hook/u", "fs-secret"}, alert, 1765289109123, &HmacSha256);
  EXPECT_NE(feishu.body.find("\"sign\":\"qJNuG1X3buTkAAj4X23OI4fi5XdzzK7E/3GgNlI9lvY=\""),
            std::string::npos)
      << feishu.body;
}

}  // namespace
}  // namespace tidemoor
