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

// A router that answers the control requests from its table of mappings, and notes each change it
// is asked for ("add UDP 27015 -> 192.168.1.20:27015", "delete UDP 8211").
struct MappingRouter {
  std::string thisPc;                       // the address this PC reaches the router from
  std::map<std::string, std::string> held;  // "UDP 8211" -> "client:port"
  bool refusesChanges = false;
  std::string externalAnswer = Answer(
      "<u:GetExternalIPAddressResponse><NewExternalIPAddress>203.0.113.7"
      "</NewExternalIPAddress></u:GetExternalIPAddressResponse>");
  std::vector<std::string> asked;

  static std::string Argument(const std::string& request, const std::string& name) {
    const size_t start = request.find("<" + name + ">");
    if (start == std::string::npos) return {};
    const size_t from = start + name.size() + 2;
    return request.substr(from, request.find("</", from) - from);
  }
  static std::string Answer(const std::string& inner) {
    return Ok("<s:Envelope xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\"><s:Body>" + inner +
              "</s:Body></s:Envelope>");
  }
  static std::string Fault(const std::string& code, const std::string& description) {
    return "HTTP/1.1 500 Internal Server Error\r\n\r\n<s:Envelope><s:Body><s:Fault><detail>"
           "<UPnPError><errorCode>" +
           code + "</errorCode><errorDescription>" + description +
           "</errorDescription></UPnPError></detail></s:Fault></s:Body></s:Envelope>";
  }
  std::string Control(const std::string& request) {
    const std::string port =
        Argument(request, "NewProtocol") + " " + Argument(request, "NewExternalPort");
    if (request.find("#GetExternalIPAddress") != std::string::npos) return externalAnswer;
    if (request.find("#GetSpecificPortMappingEntry") != std::string::npos) {
      const auto found = held.find(port);
      if (found == held.end()) return Fault("714", "NoSuchEntryInArray");
      const size_t colon = found->second.find(':');
      return Answer("<u:GetSpecificPortMappingEntryResponse><NewInternalPort>" +
                    found->second.substr(colon + 1) + "</NewInternalPort><NewInternalClient>" +
                    found->second.substr(0, colon) +
                    "</NewInternalClient></u:GetSpecificPortMappingEntryResponse>");
    }
    const bool adding = request.find("#AddPortMapping") != std::string::npos;
    asked.push_back(adding ? "add " + port + " -> " + Argument(request, "NewInternalClient") + ":" +
                                 Argument(request, "NewInternalPort")
                           : "delete " + port);
    if (refusesChanges) return Fault("718", "ConflictInMappingEntry");
    return Answer(adding ? "<u:AddPortMappingResponse/>" : "<u:DeletePortMappingResponse/>");
  }
  RouterNetwork Network() {
    RouterNetwork network;
    network.search = [] { return std::vector<std::string>{Ssdp("http://192.168.1.1:5000/d.xml")}; };
    network.exchange = [this](const HttpUrl& url, const std::string& request) {
      if (url.path == "/d.xml") return RouterNetwork::Exchange{Ok(kDescription), thisPc, {}};
      return RouterNetwork::Exchange{Control(request), thisPc, {}};
    };
    return network;
  }
};

// The router is asked who holds each game port; the PC that counts as this one is the address
// this PC reached the router from. Mapping adds only free ports, and only when no port leads to
// another PC; removing deletes only what leads here, port for port: a mapping of another PC (or of
// another port of this one) is never removed. Each change is one line for the event log.
TEST(RouterSession, MapsAndRemovesOnlyWhatLeadsToThisPc) {
  const std::string added = "路由器端口映射已添加: UDP ", deleted = "路由器端口映射已删除: UDP ";
  const struct {
    const char* what;
    std::map<std::string, std::string> held;
    std::vector<std::string> mapped;       // asked by MapPorts
    std::vector<std::string> mapLines;     // ... and what it logs
    std::vector<std::string> removed;      // asked by RemoveMappings
    std::vector<std::string> removeLines;  // ... and what it logs
    std::string thisPc = "192.168.1.20";
    bool refusesChanges = false;
  } cases[] = {
      {"both free",
       {},
       {"add UDP 8211 -> 192.168.1.20:8211", "add UDP 27015 -> 192.168.1.20:27015"},
       {added + "8211 -> 192.168.1.20", added + "27015 -> 192.168.1.20"},
       {},
       {}},
      {"one here, one free",
       {{"UDP 8211", "192.168.1.20:8211"}},
       {"add UDP 27015 -> 192.168.1.20:27015"},
       {added + "27015 -> 192.168.1.20"},
       {"delete UDP 8211"},
       {deleted + "8211"}},
      {"both here, reached from another address of this PC",
       {{"UDP 8211", "10.0.0.5:8211"}, {"UDP 27015", "10.0.0.5:27015"}},
       {},
       {},
       {"delete UDP 8211", "delete UDP 27015"},
       {deleted + "8211", deleted + "27015"},
       "10.0.0.5"},
      {"another PC holds one",
       {{"UDP 8211", "192.168.1.77:8211"}, {"UDP 27015", "192.168.1.20:27015"}},
       {},
       {},
       {"delete UDP 27015"},
       {deleted + "27015"}},
      {"this PC's address, another port", {{"UDP 8211", "192.168.1.20:9000"}}, {}, {}, {}, {}},
      {"held by the address of another interface",
       {{"UDP 8211", "10.0.0.5:8211"}, {"UDP 27015", "10.0.0.5:27015"}},
       {},
       {},
       {},
       {}},
      {"a TCP mapping of the same number is another port",
       {{"TCP 8211", "192.168.1.77:8211"}, {"UDP 27015", "192.168.1.20:27015"}},
       {"add UDP 8211 -> 192.168.1.20:8211"},
       {added + "8211 -> 192.168.1.20"},
       {"delete UDP 27015"},
       {deleted + "27015"}},
      {"the router refuses every change",
       {{"UDP 27015", "192.168.1.20:27015"}},
       {"add UDP 8211 -> 192.168.1.20:8211"},
       {"路由器端口映射失败: UDP 8211 路由器拒绝: 718 ConflictInMappingEntry"},
       {"delete UDP 27015"},
       {"删除路由器端口映射失败: UDP 27015 路由器拒绝: 718 ConflictInMappingEntry"},
       "192.168.1.20",
       true},
  };
  for (const auto& c : cases) {
    MappingRouter router{c.thisPc, c.held, c.refusesChanges};
    const RouterNetwork network = router.Network();
    const RouterSession session = FindRouter(network);
    ASSERT_TRUE(session.service) << c.what << ": " << session.problem;
    EXPECT_EQ(session.thisPc, c.thisPc) << c.what;
    const RouterFindings findings = CheckRouter(network, session, {8211, 27015});
    EXPECT_EQ(findings.externalAddress, "203.0.113.7") << c.what;
    ASSERT_EQ(findings.ports.size(), 2u) << c.what;
    EXPECT_EQ(MapPorts(network, session, findings), c.mapLines) << c.what;
    EXPECT_EQ(router.asked, c.mapped) << c.what;
    router.asked.clear();
    EXPECT_EQ(RemoveMappings(network, session, findings), c.removeLines) << c.what;
    EXPECT_EQ(router.asked, c.removed) << c.what;
  }
}

// Without the router's outside address the check says why.
TEST(RouterSession, SaysWhyTheRouterGaveNoOutsideAddress) {
  const struct {
    std::string answer;
    std::string problem;
  } cases[] = {
      {MappingRouter::Answer("<u:GetExternalIPAddressResponse/>"), "回答中没有外网地址"},
      {MappingRouter::Fault("501", "ActionFailed"), "路由器拒绝: 501 ActionFailed"},
      {"\x01\x02garbage", "路由器的回答不是 HTTP"},
  };
  for (const auto& c : cases) {
    MappingRouter router{"192.168.1.20", {}, false, c.answer, {}};
    const RouterNetwork network = router.Network();
    const RouterFindings findings = CheckRouter(network, FindRouter(network), {8211});
    EXPECT_TRUE(findings.found) << c.problem;
    EXPECT_EQ(findings.externalAddress, "") << c.problem;
    EXPECT_EQ(findings.problem, c.problem);
  }
}

// A service type with a line break in the router's description never reaches a request.
TEST(RouterSession, ALineBreakFromTheRouterNeverReachesARequest) {
  ScriptedRouter router{
      {Ssdp("http://192.168.1.1/d.xml")},
      {{"192.168.1.1:80/d.xml",
        Ok("<root><device><serviceList><service><serviceType>urn:schemas-upnp-org:service:"
           "WANIPConnection:1&#13;&#10;X-Injected: 1</serviceType><controlURL>/ctl</controlURL>"
           "</service></serviceList></device></root>")}},
      {}};
  const RouterNetwork network = router.Network();
  const RouterSession session = FindRouter(network);
  ASSERT_TRUE(session.service);
  EXPECT_EQ(CheckRouter(network, session, {8211}).problem,
            "路由器给出的地址或服务类型含控制字符, 请求未发送");
  EXPECT_EQ(router.asked, std::vector<std::string>{"192.168.1.1:80/d.xml"})
      << "only the description was asked for";
}

}  // namespace
}  // namespace tidemoor
