#include "net/port_holders.h"

#include <algorithm>
#include <set>
#include <utility>
#include <vector>

namespace tidemoor {
namespace {

std::string PortText(const WatchedPort& port) {
  return port.protocol + " " + std::to_string(port.port) + " (" + port.name + ")";
}

std::string ProcessText(const PortHolder& holder) {
  // Without an owner id (a system that does not tell) there is nothing to name.
  if (holder.processId == 0) return "未知程序";
  return (holder.processName.empty() ? std::string("未知程序") : holder.processName) + " (进程 " +
         std::to_string(holder.processId) + ")";
}

bool Holds(const PortHolder& holder, const WatchedPort& port) {
  return holder.port == port.port && holder.protocol == port.protocol;
}

}  // namespace

CheckLine PortsLine(std::span<const WatchedPort> watched, std::span<const PortHolder> holders,
                    std::span<const unsigned> serverProcesses) {
  const auto isServer = [&](const PortHolder& holder) {
    return std::find(serverProcesses.begin(), serverProcesses.end(), holder.processId) !=
           serverProcesses.end();
  };
  std::vector<std::string> taken;
  std::set<std::pair<std::string, unsigned>> named;  // a port held twice by one process is one
  for (const WatchedPort& port : watched) {
    for (const PortHolder& holder : holders) {
      if (!Holds(holder, port) || isServer(holder)) continue;
      if (!named.insert({port.protocol + std::to_string(port.port), holder.processId}).second) {
        continue;
      }
      taken.push_back(PortText(port) + " 被 " + ProcessText(holder) + " 占用");
    }
  }
  if (!taken.empty()) {
    std::string found;
    for (const std::string& part : taken) found += (found.empty() ? "" : "；") + part;
    return {Verdict::Fail, found};
  }
  if (watched.empty()) return {Verdict::Unknown, "没有要检查的端口"};
  if (!serverProcesses.empty()) {
    const WatchedPort& game = watched.front();
    const auto server = std::find_if(holders.begin(), holders.end(), [&](const PortHolder& holder) {
      return Holds(holder, game) && isServer(holder);
    });
    if (server == holders.end()) {
      return {Verdict::Attention, "服务端运行中，但 " + PortText(game) + " 不在它手里"};
    }
    return {Verdict::Pass,
            PortText(game) + " 由服务端 " + ProcessText(*server) + " 使用，没有其他程序占用端口"};
  }
  std::string ports;
  for (const WatchedPort& port : watched) {
    ports += (ports.empty() ? "" : "、") + port.protocol + " " + std::to_string(port.port);
  }
  return {Verdict::Pass, ports + " 均未被其他程序占用"};
}

}  // namespace tidemoor
