#include "net/upnp_soap.h"

#include <charconv>
#include <initializer_list>
#include <utility>

#include "net/xml_reader.h"
#include "platform/text.h"

namespace tidemoor {
namespace {

std::string Escaped(std::string_view text) {
  std::string out;
  for (char c : text) {
    switch (c) {
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '&':
        out += "&amp;";
        break;
      case '"':
        out += "&quot;";
        break;
      default:
        out += c;
    }
  }
  return out;
}

SoapRequest Request(std::string_view serviceType, std::string_view action,
                    std::initializer_list<std::pair<const char*, std::string>> arguments) {
  std::string body =
      "<?xml version=\"1.0\"?>\r\n"
      "<s:Envelope xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\" "
      "s:encodingStyle=\"http://schemas.xmlsoap.org/soap/encoding/\">"
      "<s:Body><u:" +
      std::string(action) + " xmlns:u=\"" + Escaped(serviceType) + "\">";
  for (const auto& [name, value] : arguments) {
    body += "<" + std::string(name) + ">" + Escaped(value) + "</" + name + ">";
  }
  body += "</u:" + std::string(action) + "></s:Body></s:Envelope>\r\n";
  return {"\"" + std::string(serviceType) + "#" + std::string(action) + "\"", std::move(body)};
}

SoapAnswer Unreadable(std::string problem) {
  SoapAnswer answer;
  answer.problem = std::move(problem);
  return answer;
}

}  // namespace

SoapRequest ExternalAddressRequest(std::string_view serviceType) {
  return Request(serviceType, "GetExternalIPAddress", {});
}

SoapRequest MappingEntryRequest(std::string_view serviceType, std::string_view protocol,
                                unsigned short externalPort) {
  return Request(serviceType, "GetSpecificPortMappingEntry",
                 {{"NewRemoteHost", ""},
                  {"NewExternalPort", std::to_string(externalPort)},
                  {"NewProtocol", std::string(protocol)}});
}

SoapRequest AddMappingRequest(std::string_view serviceType, const PortMapping& mapping) {
  return Request(serviceType, "AddPortMapping",
                 {{"NewRemoteHost", ""},
                  {"NewExternalPort", std::to_string(mapping.externalPort)},
                  {"NewProtocol", mapping.protocol},
                  {"NewInternalPort", std::to_string(mapping.internalPort)},
                  {"NewInternalClient", mapping.internalClient},
                  {"NewEnabled", "1"},
                  {"NewPortMappingDescription", mapping.description},
                  {"NewLeaseDuration", "0"}});
}

SoapRequest DeleteMappingRequest(std::string_view serviceType, std::string_view protocol,
                                 unsigned short externalPort) {
  return Request(serviceType, "DeletePortMapping",
                 {{"NewRemoteHost", ""},
                  {"NewExternalPort", std::to_string(externalPort)},
                  {"NewProtocol", std::string(protocol)}});
}

std::string PrintableLine(std::string_view text) {
  std::string out;
  size_t characters = 0;
  for (size_t i = 0; i < text.size() && characters < 60;) {
    const size_t start = i;
    const char32_t c = DecodeUtf8(text, i);
    const std::string_view bytes = text.substr(start, i - start);
    // Bytes that are no character, controls (C0, DEL, C1) and what breaks or reorders a line.
    const bool dropped = (c == 0xFFFD && bytes != "\xEF\xBF\xBD") || c < 0x20 ||
                         (c >= 0x7F && c <= 0x9F) || c == 0x2028 || c == 0x2029 ||
                         (c >= 0x202A && c <= 0x202E) || (c >= 0x2066 && c <= 0x2069);
    if (dropped) continue;
    out.append(bytes);
    ++characters;
  }
  return std::string(TrimXmlBlanks(out));
}

SoapAnswer ReadSoapAnswer(int httpStatus, std::string_view body, std::string_view action) {
  if (httpStatus == 0) return Unreadable("路由器没有回答");
  const XmlDocument document = ReadXml(body);
  if (!document.ok) {
    return Unreadable("路由器的回答无法读取 (HTTP " + std::to_string(httpStatus) + ", " +
                      document.error + ")");
  }
  const XmlElement* soapBody =
      document.root.name == "Envelope" ? document.root.Child("Body") : nullptr;
  if (!soapBody) return Unreadable("路由器的回答不是 SOAP");
  if (const XmlElement* fault = soapBody->Child("Fault")) {
    SoapAnswer answer;
    answer.kind = SoapAnswer::Kind::Fault;
    const XmlElement* detail = fault->Child("detail");
    const XmlElement* error = detail ? detail->Child("UPnPError") : nullptr;
    std::string description;
    if (error) {
      const std::string code = error->ChildText("errorCode");
      int value = 0;
      const auto [ptr, ec] = std::from_chars(code.data(), code.data() + code.size(), value);
      if (ec == std::errc{} && ptr == code.data() + code.size() && value > 0) {
        answer.faultCode = value;
      }
      description = PrintableLine(error->ChildText("errorDescription"));
    }
    if (description.empty()) description = PrintableLine(fault->ChildText("faultstring"));
    answer.problem =
        "路由器拒绝: " + (answer.faultCode ? std::to_string(answer.faultCode) + " " : "") +
        (description.empty() ? "(无说明)" : description);
    return answer;
  }
  if (httpStatus != 200) return Unreadable("路由器回答 HTTP " + std::to_string(httpStatus));
  const XmlElement* response = soapBody->Child(std::string(action) + "Response");
  if (!response) return Unreadable("路由器的回答缺少 " + std::string(action) + "Response");
  SoapAnswer answer;
  answer.kind = SoapAnswer::Kind::Values;
  for (const XmlElement& argument : response->children) {
    answer.values[argument.name] = std::string(TrimXmlBlanks(argument.text));
  }
  return answer;
}

}  // namespace tidemoor
