#include "net/public_address.h"

#include <gtest/gtest.h>

#include <map>
#include <vector>

namespace tidemoor {
namespace {

TEST(IpAddresses, AcceptOnlyRealAddresses) {
  for (const char* good : {"203.0.113.7", "0.0.0.0", "255.255.255.255"}) {
    EXPECT_TRUE(IsIpv4Address(good)) << good;
  }
  for (const char* bad : {"", "203.0.113", "203.0.113.7.1", "256.1.1.1", "1..1.1", "01.2.3.4",
                          "a.b.c.d", "203.0.113.7 ", "-1.2.3.4"}) {
    EXPECT_FALSE(IsIpv4Address(bad)) << bad;
  }
  for (const char* good : {"2001:db8::1", "::", "::1", "fe80::", "1:2:3:4:5:6:7:8",
                           "::ffff:203.0.113.7", "1:2:3:4:5:6:1.2.3.4", "2001:DB8:0:0:0:0:0:1"}) {
    EXPECT_TRUE(IsIpv6Address(good)) << good;
  }
  for (const char* bad : {"", ":", "1:2:3:4:5:6:7", "1:2:3:4:5:6:7:8:9", "1::2::3", "12345::",
                          ":1::", "1:::2", "g::1", "1.2.3.4::", "1:2:3:4:5:6:7::8", "[::1]"}) {
    EXPECT_FALSE(IsIpv6Address(bad)) << bad;
  }
}

TEST(AddressFromAnswer, MarkedAnswersNeedBothMarkers) {
  EXPECT_EQ(AddressFromAnswer({200, "ok [ip/]203.0.113.7[/ip] ok"}, true), "203.0.113.7");
  EXPECT_EQ(AddressFromAnswer({200, "[ip/] 203.0.113.7\r\n[/ip][ip/]1.1.1.1[/ip]"}, true),
            "203.0.113.7");
  EXPECT_EQ(AddressFromAnswer({200, "[ip/]203.0.113.7"}, true), "");
  EXPECT_EQ(AddressFromAnswer({200, "[/ip]203.0.113.7[ip/]"}, true), "");
  EXPECT_EQ(AddressFromAnswer({200, "[IP/]203.0.113.7[/IP]"}, true), "");  // markers match case
  EXPECT_EQ(AddressFromAnswer({200, "203.0.113.7"}, true), "");
}

TEST(AddressFromAnswer, BareAnswersAreTrimmedAndMustBeAnAddress) {
  EXPECT_EQ(AddressFromAnswer({200, "203.0.113.7\n"}, false), "203.0.113.7");
  EXPECT_EQ(AddressFromAnswer({200, " 2001:db8::7\r\n"}, false), "2001:db8::7");
  EXPECT_EQ(AddressFromAnswer({404, "203.0.113.7"}, false), "");
  EXPECT_EQ(AddressFromAnswer({0, ""}, false), "");
  EXPECT_EQ(AddressFromAnswer({200, "<html>Service unavailable</html>"}, false), "");
  EXPECT_EQ(AddressFromAnswer({200, "203.0.113.7 203.0.113.8"}, false), "");
}

struct ScriptedFetch {
  std::map<std::string, HttpAnswer> answers;
  std::vector<std::string> asked;
  HttpFetch Function() {
    return [this](const std::string& url) {
      asked.push_back(url);
      return answers.count(url) ? answers[url] : HttpAnswer{};
    };
  }
};

TEST(LookupPublicAddress, PrimaryThenFallbackThenErrorText) {
  ScriptedFetch fetch;
  fetch.answers["p"] = {200, "[ip/]203.0.113.7[/ip]"};
  fetch.answers["f"] = {200, "198.51.100.1"};
  EXPECT_EQ(LookupPublicAddress(fetch.Function(), "p", "f").address, "203.0.113.7");
  EXPECT_EQ(fetch.asked, std::vector<std::string>{"p"});

  fetch.answers["p"] = {200, "[ip/]203.0.113.7"};
  EXPECT_EQ(LookupPublicAddress(fetch.Function(), "p", "f").address, "198.51.100.1");

  fetch.answers["f"] = {404, "Not Found"};
  EXPECT_EQ(LookupPublicAddress(fetch.Function(), "p", "f").address, kAddressLookupFailed);
  fetch.answers.clear();
  EXPECT_EQ(LookupPublicAddress(fetch.Function(), "p", "f").address,
            "<获取公网数字地址错误.请手动填写地址>");
}

TEST(LookupPublicAddress, AFailureSaysWhyEachServiceGaveNoAddress) {
  struct Case {
    HttpAnswer primary;
    HttpAnswer fallback;
    const char* failure;
  };
  for (const Case& c : {
           Case{{200, "[ip/]203.0.113.7[/ip]"}, {}, ""},
           Case{{200, "<html>busy</html>"},
                {404, "Not Found"},
                "主服务: 回应中没有 IP 地址; 备用服务: HTTP 404"},
           Case{{0, "", HttpFailure::Refused, 12029},
                {0, "", HttpFailure::TimedOut, 12002},
                "主服务: 连接被拒绝; 备用服务: 连接超时"},
           Case{{0, "", HttpFailure::NameNotResolved, 12007},
                {0, "", HttpFailure::Network, 12157},
                "主服务: 无法解析主机名; 备用服务: 网络错误 12157"},
           Case{{0, "", HttpFailure::TooLong, 0}, {}, "主服务: 回应过长; 备用服务: 无回应"},
       }) {
    ScriptedFetch fetch;
    fetch.answers["p"] = c.primary;
    fetch.answers["f"] = c.fallback;
    EXPECT_EQ(LookupPublicAddress(fetch.Function(), "p", "f").failure, c.failure);
  }
}

TEST(ConnectAddressText, JoinsAddressAndPortAsTyped) {
  EXPECT_EQ(ConnectAddressText("203.0.113.7", "8211"), "203.0.113.7:8211");
  EXPECT_EQ(ConnectAddressText("203.0.113.7", ""), "203.0.113.7:");
  EXPECT_EQ(ConnectAddressText("2001:db8::7", "8211"), "[2001:db8::7]:8211");
  EXPECT_EQ(ConnectAddressText(kAddressLookupFailed, "８２１１"),
            "<获取公网数字地址错误.请手动填写地址>:８２１１");
}

}  // namespace
}  // namespace tidemoor
