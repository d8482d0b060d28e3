#include "net/gateway_description.h"

#include <charconv>

#include "net/check_verdict.h"
#include "net/xml_reader.h"
#include "platform/text.h"

namespace tidemoor {
namespace {

bool StartsWith(std::string_view text, std::string_view start) {
  return text.substr(0, start.size()) == start;
}

bool IsIpConnection(const WanService& service) {
  return StartsWith(service.serviceType, "urn:schemas-upnp-org:service:WANIPConnection:");
}

void CollectServices(const XmlElement& element, const HttpUrl& base, std::string& problem,
                     std::optional<WanService>& best) {
  if (element.name == "service") {
    const std::string type = element.ChildText("serviceType");
    if (StartsWith(type, "urn:schemas-upnp-org:service:WANIPConnection:") ||
        StartsWith(type, "urn:schemas-upnp-org:service:WANPPPConnection:")) {
      const std::optional<HttpUrl> control = ResolveUrl(base, element.ChildText("controlURL"));
      if (!control) {
        problem = "控制地址无法解析";
      } else if (control->host != base.host) {
        problem = "控制地址指向另一台主机";
      } else {
        WanService found{type, *control};
        if (!best || (!IsIpConnection(*best) && IsIpConnection(found))) best = found;
      }
    }
  }
  for (const XmlElement& child : element.children) CollectServices(child, base, problem, best);
}

}  // namespace

std::string SsdpSearchRequest() {
  return "M-SEARCH * HTTP/1.1\r\n"
         "HOST: 239.255.255.250:1900\r\n"
         "MAN: \"ssdp:discover\"\r\n"
         "MX: 2\r\n"
         "ST: urn:schemas-upnp-org:device:InternetGatewayDevice:1\r\n"
         "\r\n";
}

std::optional<std::string> SsdpLocation(std::string_view answer) {
  size_t lineEnd = answer.find("\r\n");
  if (lineEnd == std::string_view::npos) return std::nullopt;
  const std::string_view status = answer.substr(0, lineEnd);
  if (!StartsWith(status, "HTTP/1.1 200") && !StartsWith(status, "HTTP/1.0 200")) {
    return std::nullopt;
  }
  while (lineEnd + 2 < answer.size()) {
    const size_t start = lineEnd + 2;
    lineEnd = answer.find("\r\n", start);
    if (lineEnd == std::string_view::npos) lineEnd = answer.size();
    const std::string_view line = answer.substr(start, lineEnd - start);
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    if (EqualsIgnoringCase(TrimXmlBlanks(line.substr(0, colon)), "LOCATION")) {
      const std::string_view location = TrimXmlBlanks(line.substr(colon + 1));
      if (location.empty()) return std::nullopt;
      return std::string(location);
    }
  }
  return std::nullopt;
}

std::optional<HttpUrl> ParseHttpUrl(std::string_view url) {
  if (!EqualsIgnoringCase(url.substr(0, 7), "http://")) return std::nullopt;
  url.remove_prefix(7);
  const size_t slash = url.find('/');
  const std::string_view authority = url.substr(0, slash);
  HttpUrl parsed;
  if (slash != std::string_view::npos) parsed.path = std::string(url.substr(slash));
  const size_t colon = authority.find(':');
  parsed.host = std::string(authority.substr(0, colon));
  if (parsed.host.empty() || authority.find('@') != std::string_view::npos) return std::nullopt;
  for (char c : parsed.host + parsed.path) {
    if (static_cast<unsigned char>(c) <= ' ' || c == 0x7F) return std::nullopt;
  }
  if (colon != std::string_view::npos) {
    const std::string_view digits = authority.substr(colon + 1);
    unsigned port = 0;
    const auto [ptr, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), port);
    if (digits.empty() || ec != std::errc{} || ptr != digits.data() + digits.size() || port == 0 ||
        port > 65535) {
      return std::nullopt;
    }
    parsed.port = static_cast<unsigned short>(port);
  }
  return parsed;
}

std::optional<HttpUrl> ResolveUrl(const HttpUrl& base, std::string_view reference) {
  reference = TrimXmlBlanks(reference);
  if (reference.empty()) return std::nullopt;
  if (reference.find("://") != std::string_view::npos) return ParseHttpUrl(reference);
  for (char c : reference) {
    if (static_cast<unsigned char>(c) <= ' ' || c == 0x7F) return std::nullopt;
  }
  HttpUrl resolved = base;
  if (reference.front() == '/') {
    resolved.path = std::string(reference);
  } else {
    const std::string directory = base.path.substr(0, base.path.rfind('/') + 1);
    resolved.path = (directory.empty() ? "/" : directory) + std::string(reference);
  }
  return resolved;
}

bool IsLanHost(std::string_view host) {
  // A name such as 127.example.net is looked up like any other and may lead anywhere.
  const AddressKind kind = ClassifyIpv4(host);
  if (kind == AddressKind::Private) return true;
  return kind == AddressKind::Unusable &&
         (StartsWith(host, "127.") || StartsWith(host, "169.254."));
}

DescriptionReading FindWanService(std::string_view description, const HttpUrl& location) {
  const XmlDocument document = ReadXml(description);
  if (!document.ok) return {std::nullopt, "设备描述无法读取: " + document.error};
  HttpUrl base = location;
  const std::string urlBase = document.root.ChildText("URLBase");
  if (!urlBase.empty()) {
    const std::optional<HttpUrl> parsed = ParseHttpUrl(urlBase);
    if (!parsed || parsed->host != location.host) {
      return {std::nullopt, "设备描述的 URLBase 不可用"};
    }
    base = *parsed;
  }
  DescriptionReading reading;
  CollectServices(document.root, base, reading.problem, reading.service);
  if (reading.service) {
    reading.problem.clear();
  } else if (reading.problem.empty()) {
    reading.problem = "路由器不提供 WAN 连接服务";
  }
  return reading;
}

}  // namespace tidemoor
