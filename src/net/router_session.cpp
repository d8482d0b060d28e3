#include "net/router_session.h"

#include "net/gateway_http.h"
#include "net/upnp_soap.h"

namespace tidemoor {
namespace {

constexpr char kUnsafeRequest[] = "路由器给出的地址或服务类型含控制字符, 请求未发送";

SoapAnswer Call(const RouterNetwork& network, const WanService& service, const SoapRequest& request,
                const char* action) {
  const std::optional<std::string> text =
      GatewayRequestText(service.control, request.soapAction, request.body);
  if (!text) {
    SoapAnswer refused;
    refused.problem = kUnsafeRequest;
    return refused;
  }
  const RouterNetwork::Exchange exchange = network.exchange(service.control, *text);
  if (!exchange.problem.empty()) {
    SoapAnswer failed;
    failed.problem = exchange.problem;
    return failed;
  }
  const HttpAnswer answer = ReadGatewayAnswer(exchange.raw);
  if (answer.status == 0) {
    SoapAnswer failed;
    failed.problem = "路由器的回答不是 HTTP";
    return failed;
  }
  return ReadSoapAnswer(answer.status, answer.body, action);
}

std::string PortName(const std::string& protocol, unsigned short port) {
  return protocol + " " + std::to_string(port);
}

}  // namespace

RouterSession FindRouter(const RouterNetwork& network) {
  RouterSession session;
  std::optional<HttpUrl> location;
  for (const std::string& answer : network.search()) {
    const std::optional<std::string> text = SsdpLocation(answer);
    location = text ? ParseHttpUrl(*text) : std::nullopt;
    if (location && IsLanHost(location->host)) break;
    location.reset();
  }
  if (!location) {
    session.problem = "路由器未开启 UPnP";
    return session;
  }
  const std::optional<std::string> request = GatewayRequestText(*location);
  if (!request) {
    session.problem = kUnsafeRequest;
    return session;
  }
  const RouterNetwork::Exchange exchange = network.exchange(*location, *request);
  if (!exchange.problem.empty()) {
    session.problem = exchange.problem;
    return session;
  }
  const HttpAnswer answer = ReadGatewayAnswer(exchange.raw);
  if (answer.status != 200) {
    session.problem = answer.status == 0 ? "设备描述不是 HTTP 回答"
                                         : "设备描述回答 HTTP " + std::to_string(answer.status);
    return session;
  }
  DescriptionReading reading = FindWanService(answer.body, *location);
  session.service = std::move(reading.service);
  session.problem = std::move(reading.problem);
  session.thisPc = exchange.localAddress;
  return session;
}

RouterFindings CheckRouter(const RouterNetwork& network, const RouterSession& session,
                           const std::vector<unsigned short>& udpPorts) {
  RouterFindings findings;
  if (!session.service) {
    findings.problem = session.problem;
    return findings;
  }
  findings.found = true;
  const WanService& service = *session.service;
  const SoapAnswer external =
      Call(network, service, ExternalAddressRequest(service.serviceType), "GetExternalIPAddress");
  if (external.kind == SoapAnswer::Kind::Values) {
    const auto found = external.values.find("NewExternalIPAddress");
    if (found != external.values.end()) findings.externalAddress = PrintableLine(found->second);
  }
  if (findings.externalAddress.empty()) {
    findings.problem = external.problem.empty() ? "回答中没有外网地址" : external.problem;
  }
  for (unsigned short port : udpPorts) {
    const SoapAnswer entry =
        Call(network, service, MappingEntryRequest(service.serviceType, "UDP", port),
             "GetSpecificPortMappingEntry");
    findings.ports.push_back(ReadMappingEntry(entry, "UDP", port, session.thisPc));
  }
  return findings;
}

std::vector<std::string> MapPorts(const RouterNetwork& network, const RouterSession& session,
                                  const RouterFindings& findings) {
  std::vector<std::string> lines;
  if (!session.service) return lines;
  for (const PortMapping& mapping : MappingsToAdd(findings, session.thisPc)) {
    const SoapAnswer answer =
        Call(network, *session.service, AddMappingRequest(session.service->serviceType, mapping),
             "AddPortMapping");
    const std::string port = PortName(mapping.protocol, mapping.externalPort);
    lines.push_back(answer.kind == SoapAnswer::Kind::Values
                        ? "路由器端口映射已添加: " + port + " -> " + mapping.internalClient
                        : "路由器端口映射失败: " + port + " " + answer.problem);
  }
  return lines;
}

std::vector<std::string> RemoveMappings(const RouterNetwork& network, const RouterSession& session,
                                        const RouterFindings& findings) {
  std::vector<std::string> lines;
  if (!session.service) return lines;
  for (const PortOnRouter& port : findings.ports) {
    if (port.holder != MappingHolder::ThisPc) continue;
    const SoapAnswer answer =
        Call(network, *session.service,
             DeleteMappingRequest(session.service->serviceType, port.protocol, port.port),
             "DeletePortMapping");
    const std::string name = PortName(port.protocol, port.port);
    lines.push_back(answer.kind == SoapAnswer::Kind::Values
                        ? "路由器端口映射已删除: " + name
                        : "删除路由器端口映射失败: " + name + " " + answer.problem);
  }
  return lines;
}

}  // namespace tidemoor
