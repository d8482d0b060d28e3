#include "app/first_start_jobs_win.h"

#include "common/product.h"
#include "install/app_info_query_win.h"
#include "install/server_size.h"
#include "net/firewall_win.h"
#include "net/lan_addresses_win.h"
#include "net/public_address.h"
#include "net/router_session.h"
#include "platform/codepage_win.h"
#include "platform/http_client_win.h"
#include "platform/whole_file_win.h"

namespace tidemoor {
namespace {

constexpr DWORD kHelperLimitMs = 60000;

std::optional<uint64_t> FreeBytes(const std::string& directory) {
  ULARGE_INTEGER available{};
  if (!::GetDiskFreeSpaceExW(Widen(directory).c_str(), &available, nullptr, nullptr)) {
    return std::nullopt;
  }
  return available.QuadPart;
}

}  // namespace

std::optional<uint64_t> KeptServerSize(const ServerPaths& paths) {
  const WholeFile kept = ReadWholeFile(paths.DataDir + "steamcmd_app_info.txt");
  if (kept.state != FileState::Read) return std::nullopt;
  return ServerInstallBytes(kept.bytes, kServerAppId);
}

DiskRoom MeasureDiskRoom(const ServerPaths& paths) {
  const AppInfoAnswer answer = QueryAppInfo(paths, kAppInfoQueryLimit);
  std::optional<uint64_t> size = ServerInstallBytes(answer.output, kServerAppId);
  if (!size) size = KeptServerSize(paths);
  return {size, FreeBytes(paths.ServerDir)};
}

StepResult AddFirewallRules(HWND owner, const FirewallFixJob& job) {
  const FixStart start = StartFirewallFix(owner, job);
  DWORD exitCode = kFixFailed;
  if (start.launch == FixLaunch::Ran) {
    if (::WaitForSingleObject(start.process.get(), kHelperLimitMs) != WAIT_OBJECT_0 ||
        !::GetExitCodeProcess(start.process.get(), &exitCode)) {
      exitCode = kFixFailed;
    }
  }
  const CheckLine outcome = FirewallFixOutcome(start.launch, exitCode, 0);
  if (start.launch == FixLaunch::Refused) return StepSkipped(outcome.found);
  if (outcome.verdict == Verdict::Pass) return StepDone();
  return StepFailed(outcome.found);
}

MappingResult MapPortsNow(const SearchTarget& search, unsigned short game, unsigned short query) {
  const RouterNetwork network = SocketNetwork(search);
  const RouterSession session = FindRouter(network);
  const std::vector<unsigned short> ports = {game, query};
  const RouterFindings before = CheckRouter(network, session, ports);
  if (!before.found) return {StepFailed(RouterLine(before).found), {}};
  MappingResult mapped;
  mapped.lines = MapPorts(network, session, before);
  const RouterFindings after = CheckRouter(network, session, ports);
  bool allHere = !after.ports.empty();
  for (const PortOnRouter& port : after.ports)
    allHere = allHere && port.holder == MappingHolder::ThisPc;
  mapped.result = allHere ? StepDone() : StepFailed(RouterLine(after).found);
  return mapped;
}

ConnectionFacts ReadConnection(const SearchTarget& search, unsigned short game,
                               const std::string& gamePortText, const std::string& primaryEchoUrl,
                               const std::string& fallbackEchoUrl) {
  const RouterNetwork network = SocketNetwork(search);
  const RouterSession session = FindRouter(network);
  const RouterFindings router = CheckRouter(network, session, {game});
  const AddressLookup lookup = LookupPublicAddress(
      [](const std::string& url) { return HttpGetText(url); }, primaryEchoUrl, fallbackEchoUrl);
  ConnectionFacts facts;
  facts.nat = {router.found, router.externalAddress, router.problem,
               lookup.address == kAddressLookupFailed ? std::string() : lookup.address,
               gamePortText};
  facts.publicFailure = lookup.failure;
  facts.lanConnect = LanConnectAddress(LanAddresses(), gamePortText);
  return facts;
}

}  // namespace tidemoor
