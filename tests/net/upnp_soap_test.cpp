#include "net/upnp_soap.h"

#include <gtest/gtest.h>

#include "net/xml_reader.h"

namespace tidemoor {
namespace {

constexpr char kService[] = "urn:schemas-upnp-org:service:WANIPConnection:1";

// What a router reads from the request: the action element and its arguments.
std::map<std::string, std::string> ArgumentsAsRouterReadsThem(const SoapRequest& request,
                                                              const std::string& action) {
  const XmlDocument document = ReadXml(request.body);
  EXPECT_TRUE(document.ok) << document.error;
  const XmlElement* body = document.root.Child("Body");
  const XmlElement* call = body ? body->Child(action) : nullptr;
  std::map<std::string, std::string> arguments;
  if (!call) return arguments;
  for (const XmlElement& argument : call->children) arguments[argument.name] = argument.text;
  return arguments;
}

TEST(SoapRequests, CarryTheActionAndItsArguments) {
  const PortMapping mapping{"UDP", 8211, 8211, "192.168.1.20", "Tidemoor <Palworld> & \"co\""};
  const struct {
    SoapRequest request;
    std::string action;
    std::map<std::string, std::string> arguments;
  } cases[] = {
      {ExternalAddressRequest(kService), "GetExternalIPAddress", {}},
      {MappingEntryRequest(kService, "UDP", 27015),
       "GetSpecificPortMappingEntry",
       {{"NewRemoteHost", ""}, {"NewExternalPort", "27015"}, {"NewProtocol", "UDP"}}},
      {AddMappingRequest(kService, mapping),
       "AddPortMapping",
       {{"NewRemoteHost", ""},
        {"NewExternalPort", "8211"},
        {"NewProtocol", "UDP"},
        {"NewInternalPort", "8211"},
        {"NewInternalClient", "192.168.1.20"},
        {"NewEnabled", "1"},
        {"NewPortMappingDescription", "Tidemoor <Palworld> & \"co\""},
        {"NewLeaseDuration", "0"}}},
      {DeleteMappingRequest(kService, "UDP", 8211),
       "DeletePortMapping",
       {{"NewRemoteHost", ""}, {"NewExternalPort", "8211"}, {"NewProtocol", "UDP"}}},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.request.soapAction, "\"" + std::string(kService) + "#" + c.action + "\"");
    EXPECT_EQ(ArgumentsAsRouterReadsThem(c.request, c.action), c.arguments) << c.action;
  }
}

std::string Envelope(const std::string& body) {
  return "<?xml version=\"1.0\"?><SOAP-ENV:Envelope "
         "xmlns:SOAP-ENV=\"http://schemas.xmlsoap.org/soap/envelope/\"><SOAP-ENV:Body>" +
         body + "</SOAP-ENV:Body></SOAP-ENV:Envelope>";
}

std::string Fault(const std::string& code, const std::string& description) {
  return Envelope(
      "<s:Fault xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\"><faultcode>s:Client"
      "</faultcode><faultstring>UPnPError</faultstring><detail><UPnPError "
      "xmlns=\"urn:schemas-upnp-org:control-1-0\"><errorCode>" +
      code + "</errorCode><errorDescription>" + description +
      "</errorDescription></UPnPError></detail></s:Fault>");
}

TEST(ReadSoapAnswer, ValuesFaultsAndGarbage) {
  using Kind = SoapAnswer::Kind;
  const std::string longText(300, 'A');
  const struct {
    int status;
    std::string body;
    Kind kind;
    std::string value;  // NewExternalIPAddress, or the problem
    int faultCode;
  } cases[] = {
      {200,
       Envelope("<u:GetExternalIPAddressResponse xmlns:u=\"urn:x\">\n <NewExternalIPAddress> "
                "203.0.113.7 </NewExternalIPAddress></u:GetExternalIPAddressResponse>"),
       Kind::Values, "203.0.113.7", 0},
      {500, Fault("714", "NoSuchEntryInArray"), Kind::Fault, "路由器拒绝: 714 NoSuchEntryInArray",
       714},
      {500, Fault("718", "ConflictInMappingEntry"), Kind::Fault,
       "路由器拒绝: 718 ConflictInMappingEntry", 718},
      {500, Fault("x7", "bad\r\n\x01\tcode"), Kind::Fault, "路由器拒绝: badcode", 0},
      {500, Fault("12x", "Bad"), Kind::Fault, "路由器拒绝: Bad", 0},
      {500, Fault("-3", "Bad"), Kind::Fault, "路由器拒绝: Bad", 0},
      {500,
       Envelope("<s:Fault xmlns:s=\"urn:s\"><faultstring>Client Error</faultstring></s:Fault>"),
       Kind::Fault, "路由器拒绝: Client Error", 0},
      {200, "<Other><Body><u:GetExternalIPAddressResponse xmlns:u=\"urn:x\"/></Body></Other>",
       Kind::Unreadable, "路由器的回答不是 SOAP", 0},
      {500, Fault("501", longText), Kind::Fault, "路由器拒绝: 501 " + std::string(60, 'A'), 501},
      {500, Envelope("<s:Fault xmlns:s=\"urn:s\"></s:Fault>"), Kind::Fault, "路由器拒绝: (无说明)",
       0},
      {200, Envelope("<u:OtherResponse xmlns:u=\"urn:x\"/>"), Kind::Unreadable,
       "路由器的回答缺少 GetExternalIPAddressResponse", 0},
      {404, "<html>no</html>", Kind::Unreadable, "路由器的回答不是 SOAP", 0},
      {500, Envelope(""), Kind::Unreadable, "路由器回答 HTTP 500", 0},
      {0, "", Kind::Unreadable, "路由器没有回答", 0},
      {200, "\x89PNG garbage", Kind::Unreadable, "路由器的回答无法读取 (HTTP 200, 不是 XML)", 0},
  };
  for (const auto& c : cases) {
    const SoapAnswer answer = ReadSoapAnswer(c.status, c.body, "GetExternalIPAddress");
    EXPECT_EQ(answer.kind, c.kind) << c.body;
    EXPECT_EQ(answer.faultCode, c.faultCode) << c.body;
    EXPECT_EQ(c.kind == Kind::Values ? answer.values.at("NewExternalIPAddress") : answer.problem,
              c.value)
        << c.body;
  }
}

// Router texts shown on one line: only whole UTF-8 characters, no control or line-breaking ones,
// and at most 60 characters however many bytes each takes.
TEST(PrintableLine, KeepsWholeCharactersOnOneLineUpToSixty) {
  std::string leadsBeforeAscii;
  std::string sixtyLetters;
  for (int i = 0; i < 60; ++i)
    leadsBeforeAscii +=
        "\xF0"
        "ABC";
  for (int i = 0; i < 20; ++i) sixtyLetters += "ABC";
  std::string chinese;
  for (int i = 0; i < 70; ++i) chinese += "路";
  const struct {
    std::string text;
    std::string shown;
  } cases[] = {
      {"  TP-Link Archer  ", "TP-Link Archer"},
      {"a\xC0\nb", "ab"},
      {"red\xE2\x1B[31m", "red[31m"},
      {"x\xC2\x85y\xE2\x80\xAEz\xE2\x80\xA8!", "xyz!"},
      {"\xC0\xAF"
       "etc\xED\xA0\x80",
       "etc"},
      {"ok\xEF\xBF\xBD", "ok\xEF\xBF\xBD"},
      {"cut \xE8\xB7", "cut"},
      {leadsBeforeAscii, sixtyLetters},
      {chinese, chinese.substr(0, 60 * 3)},
  };
  for (const auto& c : cases) EXPECT_EQ(PrintableLine(c.text), c.shown) << c.text;
}

}  // namespace
}  // namespace tidemoor
