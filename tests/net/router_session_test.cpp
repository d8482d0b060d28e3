#include "net/router_session.h"

#include <gtest/gtest.h>

#include <map>

namespace tidemoor {
namespace {

constexpr char kDescription[] =
    "<root><device><serviceList><service><serviceType>urn:schemas-upnp-org:service:"
    "WANIPConnection:1</serviceType><controlURL>/ctl</controlURL></service></serviceList>"
    "</device></root>";

std::string Ok(const std::string& body) {
  return "HTTP/1.1 200 OK\r\n\r\n" + body;
}

// A router scripted by host and path; remembers every address it was asked at.
struct ScriptedRouter {
  std::vector<std::string> ssdp;
  std::map<std::string, std::string> answers;  // "host:port/path" -> raw answer
  std::vector<std::string> asked;
  RouterNetwork Network() {
    RouterNetwork network;
    network.search = [this] { return ssdp; };
    network.exchange = [this](const HttpUrl& url, const std::string&) {
      const std::string key = url.host + ":" + std::to_string(url.port) + url.path;
      asked.push_back(key);
      const auto found = answers.find(key);
      if (found == answers.end()) return RouterNetwork::Exchange{{}, {}, "连接路由器失败"};
      return RouterNetwork::Exchange{found->second, "192.168.1.20", {}};
    };
    return network;
  }
};

std::string Ssdp(const std::string& location) {
  return "HTTP/1.1 200 OK\r\nLOCATION: " + location + "\r\n\r\n";
}

TEST(FindRouter, SpeaksOnlyToRoutersOnTheLan) {
  const struct {
    std::vector<std::string> ssdp;
    std::map<std::string, std::string> answers;
    std::vector<std::string> asked;
    std::string control;  // empty: none found
    std::string problem;
  } cases[] = {
      {{Ssdp("http://192.168.1.1:5000/d.xml")},
       {{"192.168.1.1:5000/d.xml", Ok(kDescription)}},
       {"192.168.1.1:5000/d.xml"},
       "http://192.168.1.1:5000/ctl",
       ""},
      {{Ssdp("http://203.0.113.9/d.xml"), Ssdp("http://10.0.0.1/d.xml")},
       {{"10.0.0.1:80/d.xml", Ok(kDescription)}},
       {"10.0.0.1:80/d.xml"},
       "http://10.0.0.1:80/ctl",
       ""},
      {{Ssdp("http://203.0.113.9/d.xml"), Ssdp("http://router.example/d.xml"), "garbage"},
       {},
       {},
       "",
       "路由器未开启 UPnP"},
      {{}, {}, {}, "", "路由器未开启 UPnP"},
      {{Ssdp("http://10.0.0.1/d.xml")}, {}, {"10.0.0.1:80/d.xml"}, "", "连接路由器失败"},
      {{Ssdp("http://10.0.0.1/d.xml")},
       {{"10.0.0.1:80/d.xml", "HTTP/1.1 404 Not Found\r\n\r\n"}},
       {"10.0.0.1:80/d.xml"},
       "",
       "设备描述回答 HTTP 404"},
      {{Ssdp("http://10.0.0.1/d.xml")},
       {{"10.0.0.1:80/d.xml", "\x01\x02garbage"}},
       {"10.0.0.1:80/d.xml"},
       "",
       "设备描述不是 HTTP 回答"},
  };
  for (const auto& c : cases) {
    ScriptedRouter router{c.ssdp, c.answers, {}};
    const RouterSession session = FindRouter(router.Network());
    EXPECT_EQ(router.asked, c.asked) << c.control << c.problem;
    EXPECT_EQ(session.service ? std::optional(session.service->control) : std::nullopt,
              c.control.empty() ? std::nullopt : ParseHttpUrl(c.control));
    EXPECT_EQ(session.problem, c.problem);
  }
}

}  // namespace
}  // namespace tidemoor
