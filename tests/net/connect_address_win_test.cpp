#include "net/connect_address_win.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <optional>
#include <thread>
#include <vector>

#include "platform/http_client_win.h"
#include "platform/clipboard_win.h"
#include "net/local_http_server_win.h"
#include "platform/codepage_win.h"
#include "support/e2e_win.h"
#include "support/fake_prompt.h"

namespace tidemoor {
namespace {

using namespace std::chrono_literals;
using testing::LocalHttpServer;
using testing::WaitUntil;

std::string ClipboardAsUtf8(UINT format) {
  std::string text;
  if (!::OpenClipboard(nullptr)) return "<busy>";
  if (HANDLE data = ::GetClipboardData(format)) {
    if (const void* bytes = ::GlobalLock(data)) {
      text = format == CF_UNICODETEXT ? Narrow(static_cast<const wchar_t*>(bytes))
                                      : CodePageToUtf8(static_cast<const char*>(bytes), CP_ACP);
      ::GlobalUnlock(data);
    }
  }
  ::CloseClipboard();
  return text;
}

class CopyConnectAddressTest : public ::testing::Test {
 protected:
  std::string Copy(std::string port = "8211") {
    return CopyFrom(server.Url("/getmeip"), server.Url("/ip"), port);
  }
  // The lookup runs on the worker; the text comes back once the copy is done.
  std::string CopyFrom(const std::string& primary, const std::string& fallback,
                       std::string port = "8211", bool carrierGradeNat = false) {
    std::optional<std::string> copied;
    CopyConnectAddress(port, nullptr, prompt, primary, fallback, carrierGradeNat, worker,
                       [&](const std::string& text) { copied = text; });
    EXPECT_TRUE(WaitUntil([&] { return copied.has_value(); }, std::chrono::seconds(30)));
    return copied.value_or("<not copied>");
  }

  Worker worker;
  LocalHttpServer server;
  testing::FakePrompt prompt;
  std::vector<testing::FakePrompt::Asked>& messages = prompt.asked;
};

TEST_F(CopyConnectAddressTest, PrimaryAddressIsCopiedWithoutAskingTheFallback) {
  server.Serve("/getmeip", 200, "<p>[ip/]203.0.113.7[/ip]</p>");
  server.Serve("/ip", 200, "198.51.100.1");
  EXPECT_EQ(Copy(), "203.0.113.7:8211");
  EXPECT_EQ(server.Hits("/ip"), 0);
  EXPECT_EQ(ClipboardAsUtf8(CF_TEXT), "203.0.113.7:8211");
  EXPECT_EQ(ClipboardAsUtf8(CF_UNICODETEXT), "203.0.113.7:8211");
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text, " 已复制到剪辑版 【203.0.113.7:8211】 ");
  EXPECT_EQ(messages[0].title, " Info");
  EXPECT_EQ(messages[0].style, PromptStyle::Information);
}

TEST_F(CopyConnectAddressTest, AfterCarrierGradeNatTheMessageSaysFriendsCannotReachIt) {
  server.Serve("/getmeip", 200, "[ip/]203.0.113.7[/ip]");
  EXPECT_EQ(CopyFrom(server.Url("/getmeip"), server.Url("/ip"), "8211", /*carrierGradeNat=*/true),
            "203.0.113.7:8211");
  ASSERT_EQ(messages.size(), 1u);
  EXPECT_EQ(messages[0].text,
            " 已复制到剪辑版 【203.0.113.7:8211】 \n"
            "上次联机诊断发现运营商级 NAT - 外网好友无法通过此地址连接");
}

TEST_F(CopyConnectAddressTest, FallbackAnswersAreTrimmed) {
  server.Serve("/getmeip", 200, "[ip/]203.0.113.7");
  server.Serve("/ip", 200, "203.0.113.7\n");
  EXPECT_EQ(Copy(), "203.0.113.7:8211");
  EXPECT_EQ(server.Hits("/ip"), 1);

  server.Serve("/ip", 200, "2001:db8::7\r\n");
  EXPECT_EQ(Copy(), "[2001:db8::7]:8211");
}

TEST_F(CopyConnectAddressTest, ErrorPagesAndNonAddressesGiveTheErrorText) {
  const std::string failed = "<获取公网数字地址错误.请手动填写地址>";
  server.Serve("/getmeip", 404, "[ip/]203.0.113.7[/ip]");
  server.Serve("/ip", 200, "<html>rate limited</html>");
  EXPECT_EQ(Copy(), failed + ":8211");
  EXPECT_EQ(ClipboardAsUtf8(CF_TEXT), failed + ":8211");
  EXPECT_EQ(ClipboardAsUtf8(CF_UNICODETEXT), failed + ":8211");
  EXPECT_EQ(messages.back().text, " 已复制到剪辑版 【" + failed +
                                      ":8211】 (主服务: HTTP 404; 备用服务: 回应中没有 IP 地址) ");

  server.Serve("/getmeip", 200, "[ip/]203.0.113.7[/ip]");
  EXPECT_EQ(Copy(""), "203.0.113.7:");
}

TEST_F(CopyConnectAddressTest, UnreachableServicesGiveTheErrorTextAndSayWhy) {
  const std::string closed = LocalHttpServer::ClosedUrl("/");
  EXPECT_EQ(CopyFrom(closed, "http://nonexistent.invalid/ip"),
            "<获取公网数字地址错误.请手动填写地址>:8211");
  EXPECT_EQ(messages.back().text,
            " 已复制到剪辑版 【<获取公网数字地址错误.请手动填写地址>:8211】 "
            "(主服务: 连接被拒绝; 备用服务: 无法解析主机名) ");
}

TEST_F(CopyConnectAddressTest, AStuckServiceIsGivenUpWithinTheTimeOut) {
  server.Hang("/getmeip");
  server.Serve("/ip", 200, "203.0.113.9");
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(Copy(), "203.0.113.9:8211");
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(9));
}

// Another program holding the clipboard for a moment (a clipboard manager reading the last
// change) does not lose the copy; one that holds it past the tries is told as a failure.
TEST(CopyToClipboard, WaitsForAClipboardHeldElsewhereForAMoment) {
  const struct {
    std::chrono::milliseconds held;
    bool copied;
  } cases[] = {{0ms, true}, {60ms, true}, {3000ms, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.held.count());
    const std::string text = "联机地址 203.0.113.9:" + std::to_string(c.held.count());
    std::atomic<bool> holding = c.held.count() == 0;
    std::thread holder([&] {
      if (holding) return;
      // The clipboard tells its users apart by window: the holder has one of its own.
      const HWND window = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                            nullptr, nullptr);
      while (!::OpenClipboard(window)) ::Sleep(5);
      holding = true;
      std::this_thread::sleep_for(c.held);
      ::CloseClipboard();
      ::DestroyWindow(window);
    });
    while (!holding) std::this_thread::yield();
    std::optional<bool> copied;
    CopyToClipboard(nullptr, text, [&](bool done) { copied = done; });
    EXPECT_TRUE(WaitUntil([&] { return copied.has_value(); }, 10s));
    holder.join();
    EXPECT_EQ(copied, c.copied);
    EXPECT_EQ(ClipboardAsUtf8(CF_UNICODETEXT) == text, c.copied);
  }
}

TEST(HttpGetText, SendsAPlainHttp10GetAndCutsTheBodyAtAZeroByte) {
  LocalHttpServer server;
  server.Serve("/text?x=1", 500, std::string("before\0after", 12));
  const HttpAnswer answer = HttpGetText(server.Url("/text?x=1"));
  EXPECT_EQ(answer.status, 500);
  EXPECT_EQ(answer.body, "before");
  const std::string request = server.LastRequest();
  EXPECT_EQ(request.rfind("GET /text?x=1 HTTP/1.0\r\n", 0), 0u) << request;
  EXPECT_NE(request.find("User-Agent: Mozilla/4.0 (compatible; MSIE 6.0; Windows NT 5.0)\r\n"),
            std::string::npos);
  EXPECT_NE(request.find("Accept: */*\r\n"), std::string::npos);
}

}  // namespace
}  // namespace tidemoor
