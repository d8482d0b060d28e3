#include "net/gateway_http.h"

#include <gtest/gtest.h>

namespace tidemoor {
namespace {

TEST(ReadGatewayAnswer, StatusAndBodyOfWhatRoutersSend) {
  const struct {
    std::string raw;
    int status;
    std::string body;
  } cases[] = {
      {"HTTP/1.1 200 OK\r\nContent-Type: text/xml\r\n\r\n<a/>", 200, "<a/>"},
      {"HTTP/1.0 500 Internal Server Error\r\nCONTENT-LENGTH: 4\r\n\r\n<a/>trailing", 500, "<a/>"},
      {"HTTP/1.1 200 OK\r\ntransfer-encoding: "
       "Chunked\r\n\r\n3\r\n<a>\r\n4;x=1\r\n</a>\r\n0\r\n\r\n",
       200, "<a></a>"},
      {"HTTP/1.1 200 OK\r\n\r\n", 200, ""},
      {"HTTP/1.1 200 OK\r\nContent-Length: 10\r\n\r\nshort", 0, ""},
      {"HTTP/1.1 200 OK\r\nContent-Length: x\r\n\r\nbody", 0, ""},
      {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\nbody\r\n0\r\n\r\n", 0, ""},
      {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nffffffff\r\nbody", 0, ""},
      {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n4\r\nbody", 0, ""},
      {"HTTP/1.1 2000 OK\r\n\r\n", 0, ""},
      {"HTTP/1.1 600 OK\r\n\r\n", 0, ""},
      {"XTTP/1.1 200 OK\r\n\r\n", 0, ""},
      {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3\r\n<a>XX0\r\n\r\n", 0, ""},
      {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n3x\r\n<a>\r\n0\r\n\r\n", 0, ""},
      {"HTTP/1.1 200 OK\r\nTransfer-Encoding: identity\r\n\r\n3\r\n<a>\r\n0\r\n\r\n", 200,
       "3\r\n<a>\r\n0\r\n\r\n"},
      {"HTTP/1.1 OK\r\n\r\n", 0, ""},
      {"HTTP/1.1 200 OK\r\nno end of head", 0, ""},
      {"SSH-2.0-dropbear\r\n\r\n", 0, ""},
      {"", 0, ""},
  };
  for (const auto& c : cases) {
    const HttpAnswer answer = ReadGatewayAnswer(c.raw);
    EXPECT_EQ(answer.status, c.status) << c.raw;
    EXPECT_EQ(answer.body, c.body) << c.raw;
  }
}

TEST(GatewayRequestText, GetAndSoapPost) {
  const HttpUrl url{"192.168.1.1", 5000, "/ctl/IPConn"};
  const struct {
    std::optional<std::string> text;
    std::optional<std::string> expected;
  } cases[] = {
      {GatewayRequestText(url),
       "GET /ctl/IPConn HTTP/1.1\r\nHost: 192.168.1.1:5000\r\nConnection: close\r\n\r\n"},
      {GatewayRequestText(url, "\"urn:x#A\"", "<b/>"),
       "POST /ctl/IPConn HTTP/1.1\r\nHost: 192.168.1.1:5000\r\nConnection: close\r\n"
       "Content-Type: text/xml; charset=\"utf-8\"\r\nSOAPAction: \"urn:x#A\"\r\n"
       "Content-Length: 4\r\n\r\n<b/>"},
      // What the router sent must not end a line of the request and add its own.
      {GatewayRequestText(url, "\"urn:x\r\nX-Injected: 1#A\"", "<b/>"), std::nullopt},
      {GatewayRequestText(url, "\"urn:x\n#A\"", "<b/>"), std::nullopt},
      {GatewayRequestText(url, "\"urn:x\x7F#A\"", "<b/>"), std::nullopt},
      {GatewayRequestText({"192.168.1.1", 80, "/ctl\r\nX: 1"}), std::nullopt},
      {GatewayRequestText({"192.168.1.1\tX", 80, "/"}), std::nullopt},
      {GatewayRequestText(url, "\"urn:x#A\"", "<b>\r\n</b>"),
       "POST /ctl/IPConn HTTP/1.1\r\nHost: 192.168.1.1:5000\r\nConnection: close\r\n"
       "Content-Type: text/xml; charset=\"utf-8\"\r\nSOAPAction: \"urn:x#A\"\r\n"
       "Content-Length: 9\r\n\r\n<b>\r\n</b>"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.text, c.expected);
}

}  // namespace
}  // namespace tidemoor
