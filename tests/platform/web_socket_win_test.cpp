// The WebSocket client against the fake KOOK gateway on 127.0.0.1, in one conversation: the
// greeting, a ping and its answer, an event with Chinese text after a silence longer than the
// handshake was allowed, an abort from another thread; then a dropped connection, and handshakes
// that fail.

#include "platform/web_socket_win.h"

#include <winsock2.h>
#include <winhttp.h>

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

#include "e2e/fake_kook.h"

namespace tidemoor {
namespace {

using namespace std::chrono_literals;
using testing::FakeKook;
using testing::TempToolDirectory;

std::unique_ptr<WebSocket> OpenGateway(const FakeKook& kook, std::chrono::milliseconds timeout) {
  SystemError error;
  auto socket = WebSocket::Open(kook.GatewayUrl(), "", timeout, &error);
  EXPECT_TRUE(socket) << error.text;
  return socket;
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(WebSocket, TalksUntilDroppedOrAbortedAndSaysWhyAHandshakeFailed) {
  TempToolDirectory dir("websocket");
  FakeKook kook(dir, "tok");
  std::unique_ptr<WebSocket> socket = OpenGateway(kook, 2s);
  ASSERT_TRUE(socket);
  EXPECT_EQ(socket->Receive().text, "{\"s\":1,\"d\":{\"code\":0,\"session_id\":\"session-1\"}}");
  ASSERT_TRUE(socket->Send("{\"s\":2,\"sn\":0}"));
  EXPECT_EQ(socket->Receive().text, "{\"s\":3}");

  // Longer than each step of the handshake may take: an idle gateway is no broken one.
  ::Sleep(2500);
  kook.Say("group 3001 4002 老王 你好，服务器 \"今晚\" 重启?");
  const WebSocketFrame event = socket->Receive();
  EXPECT_FALSE(event.closed);
  EXPECT_TRUE(Contains(event.text, "\"content\":\"你好，服务器 \\\"今晚\\\" 重启?\""))
      << event.text;

  // Ended from another thread: the blocked receive returns at once, without an error.
  WebSocketFrame blocked;
  const auto start = std::chrono::steady_clock::now();
  std::thread receiver([&] { blocked = socket->Receive(); });
  ::Sleep(300);
  socket->Abort();
  receiver.join();
  EXPECT_LT(std::chrono::steady_clock::now() - start, 5s);
  EXPECT_TRUE(blocked.closed);
  EXPECT_FALSE(blocked.error) << blocked.error->text;
  const Outcome late = socket->Send("{\"s\":2,\"sn\":0}");
  ASSERT_FALSE(late);
  EXPECT_EQ(late.Error().text, "连接已关闭");

  // Gone without a close: a broken conversation, with why.
  socket = OpenGateway(kook, 2s);
  ASSERT_TRUE(socket);
  ASSERT_FALSE(socket->Receive().closed);  // the greeting
  kook.Say("drop");
  const WebSocketFrame dropped = socket->Receive();
  EXPECT_TRUE(dropped.closed);
  EXPECT_TRUE(dropped.error) << "a connection gone without a close is a broken one";

  // A port nobody listens on: taken from the system, then given back.
  WSADATA data;
  ::WSAStartup(MAKEWORD(2, 2), &data);
  const SOCKET probe = ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ::bind(probe, reinterpret_cast<sockaddr*>(&address), sizeof(address));
  int length = sizeof(address);
  ::getsockname(probe, reinterpret_cast<sockaddr*>(&address), &length);
  ::closesocket(probe);
  const std::string freePort = std::to_string(ntohs(address.sin_port));

  // The API checks the token, so its answer shows the header lines went along.
  const std::string me = "ws://127.0.0.1:" + kook.Port() + "/api/v3/user/me";
  struct Case {
    std::string url;
    std::string headers;
    uint32_t code;
    std::string text;  // empty: Windows' own sentence
  };
  const Case cases[] = {
      {"ws://127.0.0.1:" + freePort + "/gateway", "", ERROR_WINHTTP_CANNOT_CONNECT, "连接被拒绝"},
      {me, "Authorization: Bot tok\r\n", 0, "HTTP 200"},
      {me, "Authorization: Bot other\r\n", 0, "HTTP 401"},
      {"http://127.0.0.1:" + kook.Port() + "/gateway", "", ERROR_WINHTTP_UNRECOGNIZED_SCHEME, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.url + " " + c.headers);
    SystemError error;
    EXPECT_FALSE(WebSocket::Open(c.url, c.headers, 5s, &error));
    EXPECT_EQ(error.code, c.code);
    EXPECT_FALSE(error.text.empty());
    if (!c.text.empty()) {
      EXPECT_EQ(error.text, c.text);
    }
  }
}

}  // namespace
}  // namespace tidemoor
