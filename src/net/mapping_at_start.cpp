#include "net/mapping_at_start.h"

namespace tidemoor {
namespace {

std::string PortName(const PortOnRouter& port) {
  return port.protocol + " " + std::to_string(port.port);
}

std::vector<std::string> WithPrefix(const char* prefix, std::vector<std::string> lines) {
  for (std::string& line : lines) line = prefix + line;
  return lines;
}

}  // namespace

std::vector<std::string> MappingAtStartLines(const RouterFindings& findings,
                                             const std::vector<std::string>& changes) {
  if (!findings.found)
    return {kMapAtStartPrefix + std::string("未发现路由器 (") + findings.problem + ")"};
  std::vector<std::string> lines;
  // A free port is mapped only when every port can lead here: half a mapping lets nobody in.
  const bool mapping = MayMap(findings);
  for (const PortOnRouter& port : findings.ports) {
    switch (port.holder) {
      case MappingHolder::OtherPc:
        lines.push_back(PortName(port) + " 已映射到" + port.heldBy + "，不会替换");
        break;
      case MappingHolder::Unknown:
        lines.push_back(PortName(port) + " 无法确认 (" + port.heldBy + ")，未映射");
        break;
      case MappingHolder::ThisPc:
        lines.push_back(PortName(port) + " 已映射到本机");
        break;
      case MappingHolder::Nobody:
        if (!mapping) lines.push_back(PortName(port) + " 未映射 (另一个端口无法映射到本机)");
        break;
    }
  }
  lines = WithPrefix(kMapAtStartPrefix, std::move(lines));
  lines.insert(lines.end(), changes.begin(), changes.end());
  return lines;
}

std::vector<std::string> RemovalAtStopLines(const RouterFindings& findings,
                                            const std::vector<std::string>& changes) {
  if (!findings.found)
    return {kRemoveAtStopPrefix + std::string("未发现路由器 (") + findings.problem + ")"};
  if (!MayRemove(findings))
    return {kRemoveAtStopPrefix + std::string("路由器上没有指向本机的映射")};
  return changes;
}

}  // namespace tidemoor
