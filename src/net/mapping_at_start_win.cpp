#include "net/mapping_at_start_win.h"

#include <string>
#include <vector>

#include "net/mapping_at_start.h"
#include "net/router_session.h"

namespace tidemoor {

void MappingAtStart::Map(unsigned short game, unsigned short query) {
  if (!worker_) return;
  std::vector<unsigned short> ports;
  for (const unsigned short port : {game, query}) {
    if (port != 0) ports.push_back(port);
  }
  mapped_ = Mapped{ports};
  worker_->Run<std::vector<std::string>>(
      [search = search_, ports, routerFound = mapped_->routerFound] {
        const RouterNetwork network = SocketNetwork(search);
        const RouterSession session = FindRouter(network);
        const RouterFindings findings = CheckRouter(network, session, ports);
        *routerFound = findings.found;
        return MappingAtStartLines(findings, MapPorts(network, session, findings));
      },
      [record = record_](std::vector<std::string> lines) {
        for (const std::string& line : lines) record(line);
      });
}

void MappingAtStart::Remove() {
  if (!worker_ || !mapped_) return;
  const Mapped mapped = std::move(*mapped_);
  mapped_.reset();
  worker_->Run<std::vector<std::string>>(
      [search = search_, ports = mapped.ports, routerFound = mapped.routerFound] {
        if (!*routerFound) return std::vector<std::string>();
        const RouterNetwork network = SocketNetwork(search);
        const RouterSession session = FindRouter(network);
        const RouterFindings findings = CheckRouter(network, session, ports);
        return RemovalAtStopLines(findings, RemoveMappings(network, session, findings));
      },
      [record = record_](std::vector<std::string> lines) {
        for (const std::string& line : lines) record(line);
      });
}

}  // namespace tidemoor
