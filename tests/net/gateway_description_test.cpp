#include "net/gateway_description.h"

#include <gtest/gtest.h>

namespace tidemoor {
namespace {

TEST(SsdpLocation, OnlyFromSuccessfulAnswers) {
  const struct {
    std::string answer;
    std::optional<std::string> location;
  } cases[] = {
      {"HTTP/1.1 200 OK\r\nCACHE-CONTROL: max-age=120\r\nLOCATION: "
       "http://192.168.1.1:5000/d.xml\r\n"
       "ST: urn:schemas-upnp-org:device:InternetGatewayDevice:1\r\n\r\n",
       "http://192.168.1.1:5000/d.xml"},
      {"HTTP/1.1 200 OK\r\nlocation:http://10.0.0.1/rootDesc.xml  \r\n\r\n",
       "http://10.0.0.1/rootDesc.xml"},
      {"HTTP/1.0 200 OK\r\nLocation: http://10.0.0.1/x\r\n", "http://10.0.0.1/x"},
      {"HTTP/1.1 404 Not Found\r\nLOCATION: http://10.0.0.1/x\r\n\r\n", std::nullopt},
      {"NOTIFY * HTTP/1.1\r\nLOCATION: http://10.0.0.1/x\r\n\r\n", std::nullopt},
      {"HTTP/1.1 200 OK\r\nST: x\r\n\r\n", std::nullopt},
      {"HTTP/1.1 200 OK\r\nLOCATION: \r\n\r\n", std::nullopt},
      {"HTTP/1.1 200 OK", std::nullopt},
      {std::string(4000, '\xFF'), std::nullopt},
  };
  for (const auto& c : cases) EXPECT_EQ(SsdpLocation(c.answer), c.location) << c.answer;
  const std::string search = SsdpSearchRequest();
  EXPECT_EQ(search.substr(0, 27), "M-SEARCH * HTTP/1.1\r\nHOST: ");
  EXPECT_NE(search.find("\r\nMAN: \"ssdp:discover\"\r\n"), std::string::npos);
  EXPECT_EQ(search.substr(search.size() - 4), "\r\n\r\n");
}

std::string Description(const std::string& urlBase, const std::string& services) {
  return "<?xml version=\"1.0\"?>\n<root xmlns=\"urn:schemas-upnp-org:device-1-0\">" + urlBase +
         "<device><deviceType>urn:schemas-upnp-org:device:InternetGatewayDevice:1</deviceType>"
         "<serviceList><service><serviceType>urn:schemas-upnp-org:service:Layer3Forwarding:1"
         "</serviceType><controlURL>/l3f</controlURL></service></serviceList>"
         "<deviceList><device><deviceList><device><serviceList>" +
         services + "</serviceList></device></deviceList></device></deviceList></device></root>";
}

std::string Service(const std::string& type, const std::string& control) {
  return "<service>\n  <serviceType> urn:schemas-upnp-org:service:" + type +
         " </serviceType>\n  <controlURL>\n" + control + "\n</controlURL>\n</service>";
}

TEST(FindWanService, ControlAddressOnTheDescriptionsHost) {
  const std::string ip = "WANIPConnection:1";
  const struct {
    std::string description;
    std::string location;
    std::string control;  // empty: none found
  } cases[] = {
      {Description("", Service(ip, "/ctl/IPConn")), "http://192.168.1.1:5000/rootDesc.xml",
       "http://192.168.1.1:5000/ctl/IPConn"},
      {Description("", Service(ip, "ctl")), "http://192.168.1.1:5000/desc/root.xml",
       "http://192.168.1.1:5000/desc/ctl"},
      {Description("<URLBase>http://192.168.1.1:49152/</URLBase>", Service(ip, "upnp/c")),
       "http://192.168.1.1:5000/d.xml", "http://192.168.1.1:49152/upnp/c"},
      {Description("", Service(ip, "http://192.168.1.1:6000/c")), "http://192.168.1.1/d.xml",
       "http://192.168.1.1:6000/c"},
      {Description("", Service("WANPPPConnection:1", "/ppp") + Service("WANIPConnection:2", "/ip")),
       "http://10.0.0.1/d.xml", "http://10.0.0.1:80/ip"},
      {Description("", Service("WANPPPConnection:1", "/ppp")), "http://10.0.0.1/d.xml",
       "http://10.0.0.1:80/ppp"},
      {Description("", Service("WANIPConnection:1", "/ip") + Service("WANPPPConnection:1", "/ppp")),
       "http://10.0.0.1/d.xml", "http://10.0.0.1:80/ip"},
      {Description("", Service(ip, "http://203.0.113.9/c")), "http://10.0.0.1/d.xml", ""},
      {Description("<URLBase>http://203.0.113.9/</URLBase>", Service(ip, "/c")),
       "http://10.0.0.1/d.xml", ""},
      {Description("", Service(ip, "ftp://10.0.0.1/c")), "http://10.0.0.1/d.xml", ""},
      {Description("", Service(ip, "")), "http://10.0.0.1/d.xml", ""},
      {Description("", Service("WANCommonInterfaceConfig:1", "/c")), "http://10.0.0.1/d.xml", ""},
      {"<html>router login</html>", "http://10.0.0.1/d.xml", ""},
      {"not xml at all", "http://10.0.0.1/d.xml", ""},
  };
  for (const auto& c : cases) {
    const DescriptionReading reading = FindWanService(c.description, *ParseHttpUrl(c.location));
    if (c.control.empty()) {
      EXPECT_FALSE(reading.service) << c.description;
      EXPECT_FALSE(reading.problem.empty()) << c.description;
    } else {
      ASSERT_TRUE(reading.service) << c.description << " " << reading.problem;
      EXPECT_EQ(reading.service->control, ParseHttpUrl(c.control)) << c.description;
    }
  }
}

// Why no service is offered, as the router's line tells it; a usable service later in the
// description makes an earlier problem moot.
TEST(FindWanService, SaysWhyThereIsNone) {
  const std::string ip = "WANIPConnection:1";
  const struct {
    std::string description;
    std::string problem;
  } cases[] = {
      {Description("", Service(ip, "http://203.0.113.9/c")), "控制地址指向另一台主机"},
      {Description("", Service(ip, "ftp://10.0.0.1/c")), "控制地址无法解析"},
      {Description("<URLBase>http://203.0.113.9/</URLBase>", Service(ip, "/c")),
       "设备描述的 URLBase 不可用"},
      {Description("", Service("WANCommonInterfaceConfig:1", "/c")), "路由器不提供 WAN 连接服务"},
      {Description("", Service(ip, "http://203.0.113.9/c") + Service(ip, "/c")), ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FindWanService(c.description, *ParseHttpUrl("http://10.0.0.1/d.xml")).problem,
              c.problem)
        << c.description;
  }
}

TEST(ParseHttpUrl, PlainHttpOnLanHostsOnly) {
  const struct {
    const char* url;
    bool parsed;
    bool lan;
  } cases[] = {
      {"http://192.168.1.1:5000/rootDesc.xml", true, true},
      {"HTTP://10.0.0.138/", true, true},
      {"http://127.0.0.1:49000", true, true},
      {"http://169.254.3.4/x", true, true},
      {"http://router.local/x", true, false},
      {"http://127.attacker.example/x", true, false},
      {"http://169.254.attacker.example/x", true, false},
      {"http://127.0.0.1.example/x", true, false},
      {"http://127.0.0.256/x", true, false},
      {"http://127.0.0/x", true, false},
      {"http://169.254.0.01/x", true, false},
      {"http://203.0.113.9/x", true, false},
      {"http://100.64.0.1/x", true, false},
      {"https://192.168.1.1/x", false, false},
      {"http://192.168.1.1:0/x", false, false},
      {"http://192.168.1.1:70000/x", false, false},
      {"http://192.168.1.1:65535/x", true, true},
      {"http://192.168.1.1:65536/x", false, false},
      {"http://192.168.1.1:80x/x", false, false},
      {"http://user@192.168.1.1/x", false, false},
      {"http:///x", false, false},
      {"http://192.168.1.1/a b", false, false},
  };
  for (const auto& c : cases) {
    const std::optional<HttpUrl> url = ParseHttpUrl(c.url);
    EXPECT_EQ(url.has_value(), c.parsed) << c.url;
    if (url) {
      EXPECT_EQ(IsLanHost(url->host), c.lan) << c.url;
    }
  }
}

}  // namespace
}  // namespace tidemoor
