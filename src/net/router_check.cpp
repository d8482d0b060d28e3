#include "net/router_check.h"

#include <algorithm>
#include <charconv>

namespace tidemoor {
namespace {

std::string PortName(const PortOnRouter& port) {
  return port.protocol + " " + std::to_string(port.port);
}

std::string Joined(const std::vector<std::string>& parts, const char* separator) {
  std::string text;
  for (const std::string& part : parts) text += (text.empty() ? "" : separator) + part;
  return text;
}

}  // namespace

PortOnRouter ReadMappingEntry(const SoapAnswer& answer, std::string protocol, unsigned short port,
                              const std::string& thisPc) {
  PortOnRouter result{std::move(protocol), port, MappingHolder::Unknown, {}};
  if (answer.kind == SoapAnswer::Kind::Fault && answer.faultCode == kNoSuchMapping) {
    result.holder = MappingHolder::Nobody;
    return result;
  }
  if (answer.kind != SoapAnswer::Kind::Values) {
    result.heldBy = answer.problem;
    return result;
  }
  const auto value = [&](const char* name) {
    const auto found = answer.values.find(name);
    return found == answer.values.end() ? std::string() : found->second;
  };
  const std::string client = value("NewInternalClient");
  const std::string internalPort = value("NewInternalPort");
  unsigned number = 0;
  const auto [ptr, ec] =
      std::from_chars(internalPort.data(), internalPort.data() + internalPort.size(), number);
  if (client.empty() || ec != std::errc{} || ptr != internalPort.data() + internalPort.size()) {
    result.heldBy = "路由器的映射记录不完整";
    return result;
  }
  const bool here = client == thisPc && number == port;
  result.holder = here ? MappingHolder::ThisPc : MappingHolder::OtherPc;
  if (client == thisPc && !here) result.heldBy = "本机端口 " + std::to_string(number);
  if (client != thisPc) {
    result.heldBy = "另一台电脑 " + PrintableLine(client) + ":" + std::to_string(number);
  }
  return result;
}

CheckLine RouterLine(const RouterFindings& findings) {
  if (!findings.found) return {Verdict::Unknown, "未发现路由器 (" + findings.problem + ")"};
  const std::string router = "路由器 UPnP 已开启，外网地址 " +
                             (findings.externalAddress.empty() ? "未知" : findings.externalAddress);
  std::vector<std::string> others, unknown, missing, here;
  for (const PortOnRouter& port : findings.ports) {
    switch (port.holder) {
      case MappingHolder::OtherPc:
        others.push_back(PortName(port) + " 已映射到" + port.heldBy);
        break;
      case MappingHolder::Unknown:
        unknown.push_back(PortName(port) + " " + port.heldBy);
        break;
      case MappingHolder::Nobody:
        missing.push_back(PortName(port));
        break;
      case MappingHolder::ThisPc:
        here.push_back(PortName(port));
        break;
    }
  }
  if (!others.empty()) return {Verdict::Fail, router + "；" + Joined(others, "；") + " (不会替换)"};
  if (!unknown.empty()) return {Verdict::Unknown, router + "；" + Joined(unknown, "；")};
  if (!missing.empty()) {
    return {Verdict::Attention, router + "；" + Joined(missing, "、") + " 未映射到本机"};
  }
  return {Verdict::Pass, router + "；" + Joined(here, "、") + " 已映射到本机"};
}

bool MayMap(const RouterFindings& findings) {
  const auto& ports = findings.ports;
  const auto held = [](MappingHolder holder) {
    return [holder](const PortOnRouter& port) { return port.holder == holder; };
  };
  return findings.found && std::any_of(ports.begin(), ports.end(), held(MappingHolder::Nobody)) &&
         std::none_of(ports.begin(), ports.end(), held(MappingHolder::OtherPc)) &&
         std::none_of(ports.begin(), ports.end(), held(MappingHolder::Unknown));
}

bool MayRemove(const RouterFindings& findings) {
  return findings.found &&
         std::any_of(findings.ports.begin(), findings.ports.end(),
                     [](const PortOnRouter& port) { return port.holder == MappingHolder::ThisPc; });
}

std::vector<PortMapping> MappingsToAdd(const RouterFindings& findings, const std::string& thisPc) {
  std::vector<PortMapping> mappings;
  if (!MayMap(findings)) return mappings;
  for (const PortOnRouter& port : findings.ports) {
    if (port.holder == MappingHolder::Nobody) {
      mappings.push_back({port.protocol, port.port, port.port, thisPc, kMappingDescription});
    }
  }
  return mappings;
}

}  // namespace tidemoor
