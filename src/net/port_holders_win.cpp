#include "net/port_holders_win.h"

#include <winsock2.h>
#include <ws2tcpip.h>
#include <iphlpapi.h>
#include <tlhelp32.h>

#include <map>
#include <set>
#include <string>

#include "platform/codepage_win.h"
#include "platform/unique_handle_win.h"

namespace tidemoor {
namespace {

struct ProcessEntry {
  std::string name;
  unsigned parent = 0;
};

std::map<unsigned, ProcessEntry> RunningProcesses() {
  std::map<unsigned, ProcessEntry> processes;
  const UniqueFileHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return processes;
  PROCESSENTRY32W entry{sizeof(entry)};
  for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more;
       more = ::Process32NextW(snapshot.get(), &entry)) {
    processes[entry.th32ProcessID] = {Narrow(entry.szExeFile), entry.th32ParentProcessID};
  }
  return processes;
}

// The table a GetExtended*Table call fills, grown until it fits.
template <typename Query>
std::vector<char> OwnerTable(Query query) {
  std::vector<char> table(16 * 1024);
  for (int attempt = 0; attempt < 4; ++attempt) {
    DWORD size = static_cast<DWORD>(table.size());
    const DWORD result = query(table.data(), &size);
    if (result == NO_ERROR) return table;
    if (result != ERROR_INSUFFICIENT_BUFFER) break;
    table.resize(size + 4096);
  }
  return {};
}

template <typename Table, typename Row>
void AddRows(const std::vector<char>& bytes, const char* protocol,
             std::vector<PortHolder>& holders) {
  if (bytes.size() < sizeof(Table)) return;
  const auto* table = reinterpret_cast<const Table*>(bytes.data());
  const Row* rows = table->table;
  for (DWORD i = 0; i < table->dwNumEntries; ++i) {
    holders.push_back({protocol,
                       ntohs(static_cast<u_short>(rows[i].dwLocalPort)),
                       static_cast<unsigned>(rows[i].dwOwningPid),
                       {}});
  }
}

}  // namespace

PortSnapshot TakePortSnapshot(unsigned serverProcess) {
  PortSnapshot snapshot;
  const auto udp = [](ULONG family) {
    return OwnerTable([family](void* table, DWORD* size) {
      return ::GetExtendedUdpTable(table, size, FALSE, family, UDP_TABLE_OWNER_PID, 0);
    });
  };
  const auto tcp = [](ULONG family) {
    return OwnerTable([family](void* table, DWORD* size) {
      return ::GetExtendedTcpTable(table, size, FALSE, family, TCP_TABLE_OWNER_PID_LISTENER, 0);
    });
  };
  AddRows<MIB_UDPTABLE_OWNER_PID, MIB_UDPROW_OWNER_PID>(udp(AF_INET), "UDP", snapshot.holders);
  AddRows<MIB_UDP6TABLE_OWNER_PID, MIB_UDP6ROW_OWNER_PID>(udp(AF_INET6), "UDP", snapshot.holders);
  AddRows<MIB_TCPTABLE_OWNER_PID, MIB_TCPROW_OWNER_PID>(tcp(AF_INET), "TCP", snapshot.holders);
  AddRows<MIB_TCP6TABLE_OWNER_PID, MIB_TCP6ROW_OWNER_PID>(tcp(AF_INET6), "TCP", snapshot.holders);

  const std::map<unsigned, ProcessEntry> processes = RunningProcesses();
  for (PortHolder& holder : snapshot.holders) {
    const auto found = processes.find(holder.processId);
    if (found != processes.end()) holder.processName = found->second.name;
  }
  if (serverProcess == 0) return snapshot;
  std::set<unsigned> tree = {serverProcess};
  // Children found in one pass may have children of their own; a process id reused by an
  // unrelated program cannot join, since a process is only taken once.
  for (bool grew = true; grew;) {
    grew = false;
    for (const auto& [id, entry] : processes) {
      if (tree.count(entry.parent) && id != 0 && tree.insert(id).second) grew = true;
    }
  }
  snapshot.serverProcesses.assign(tree.begin(), tree.end());
  return snapshot;
}

}  // namespace tidemoor
