#include "net/connection_doctor_win.h"

#include <array>
#include <optional>
#include <vector>

#include "platform/clipboard_win.h"
#include "net/firewall_win.h"
#include "net/network_profile_win.h"
#include "net/lan_addresses_win.h"
#include "net/port_holders_win.h"
#include "net/public_address.h"
#include "platform/codepage_win.h"
#include "platform/http_client_win.h"
#include "platform/verdict_tone_win.h"

namespace tidemoor {
namespace {

using Id = DoctorControl;

constexpr int Row(int index) {
  return 12 + index * 34;
}

const std::array<ControlDefinition, 23> kControls = {{
    {ControlNumber(Id::PortsTitle), ControlKind::Label, "端口", 8, Row(0), 110, 26},
    {ControlNumber(Id::PortsVerdict), ControlKind::Label, "", 122, Row(0), 56, 26},
    {ControlNumber(Id::PortsFound), ControlKind::Label, "", 182, Row(0), 780, 26, kEndEllipsis},
    {ControlNumber(Id::FirewallTitle), ControlKind::Label, "Windows 防火墙", 8, Row(1), 110, 26},
    {ControlNumber(Id::FirewallVerdict), ControlKind::Label, "", 122, Row(1), 56, 26},
    {ControlNumber(Id::FirewallFound), ControlKind::Label, "", 182, Row(1), 652, 26, kEndEllipsis},
    {ControlNumber(Id::FirewallFixButton), ControlKind::Button, "添加防火墙规则", 838, Row(1), 124,
     26},
    {ControlNumber(Id::ProfileTitle), ControlKind::Label, "网络类型", 8, Row(2), 110, 26},
    {ControlNumber(Id::ProfileVerdict), ControlKind::Label, "", 122, Row(2), 56, 26},
    {ControlNumber(Id::ProfileFound), ControlKind::Label, "", 182, Row(2), 780, 26, kEndEllipsis},
    {ControlNumber(Id::LanTitle), ControlKind::Label, "局域网地址", 8, Row(3), 110, 26},
    {ControlNumber(Id::LanVerdict), ControlKind::Label, "", 122, Row(3), 56, 26},
    {ControlNumber(Id::LanFound), ControlKind::Label, "", 182, Row(3), 600, 26, kEndEllipsis},
    {ControlNumber(Id::CopyLanButton), ControlKind::Button, "复制", 790, Row(3), 84, 26},
    {ControlNumber(Id::RouterTitle), ControlKind::Label, "路由器 (UPnP)", 8, Row(4), 110, 26},
    {ControlNumber(Id::RouterVerdict), ControlKind::Label, "", 122, Row(4), 56, 26},
    {ControlNumber(Id::RouterFound), ControlKind::Label, "", 182, Row(4), 600, 26, kEndEllipsis},
    {ControlNumber(Id::MapButton), ControlKind::Button, "映射端口", 790, Row(4), 84, 26},
    {ControlNumber(Id::RemoveButton), ControlKind::Button, "删除映射", 878, Row(4), 84, 26},
    {ControlNumber(Id::NatTitle), ControlKind::Label, "公网地址与 NAT", 8, Row(5), 110, 26},
    {ControlNumber(Id::NatVerdict), ControlKind::Label, "", 122, Row(5), 56, 26},
    {ControlNumber(Id::NatFound), ControlKind::Label, "", 182, Row(5), 780, 26, kEndEllipsis},
    {ControlNumber(Id::RecheckButton), ControlKind::Button, "重新检查", 8, Row(6) + 8, 100, 28},
}};

constexpr std::array<Id, 6> kVerdicts = {Id::PortsVerdict, Id::FirewallVerdict, Id::ProfileVerdict,
                                         Id::LanVerdict,   Id::RouterVerdict,   Id::NatVerdict};
constexpr std::array<Id, 6> kFound = {Id::PortsFound, Id::FirewallFound, Id::ProfileFound,
                                      Id::LanFound,   Id::RouterFound,   Id::NatFound};
constexpr std::array<Id, 5> kFixButtons = {Id::CopyLanButton, Id::MapButton, Id::RemoveButton,
                                           Id::FirewallFixButton, Id::RecheckButton};

struct RouterResult {
  RouterSession session;
  RouterFindings findings;
  std::vector<std::string> changes;  // what a fix did, for the event log
};

struct FirewallResult {
  CheckLine line;
  bool fixable = false;
  int blockRules = 0;
};

struct LanResult {
  CheckLine line;
  std::string connect;
};

}  // namespace

HWND ConnectionDoctor::Open(DoctorSetup setup) {
  if (BringForwardIfOpen()) return window_;
  if (!setup_.log) setup_ = std::move(setup);
  if (Make(setup_.owner, setup_.prompt)) RunChecks();
  return window_;
}

void ConnectionDoctor::OnCreate(UINT dpi) {
  CreateControlsForDpi(window_, kControls, dpi, font_);
  worker_ = std::make_unique<Worker>();
  firewallFix_ = std::make_unique<Worker>();
}

void ConnectionDoctor::PlaceControls(UINT dpi) {
  PlaceControlsForDpi(window_, kControls, dpi, font_);
}

LRESULT ConnectionDoctor::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (HIWORD(wParam) != BN_CLICKED) return 0;
      switch (static_cast<Id>(LOWORD(wParam))) {
        case Id::RecheckButton:
          RunChecks();
          break;
        case Id::MapButton:
          ChangeMappings(true);
          break;
        case Id::RemoveButton:
          ChangeMappings(false);
          break;
        case Id::CopyLanButton:
          CopyLanAddress();
          break;
        case Id::FirewallFixButton:
          FixFirewallRules();
          break;
        default:
          break;
      }
      return 0;
    case WM_CTLCOLORSTATIC:
      if (const std::optional<LRESULT> brush =
              ColourVerdictLabel(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam))) {
        return *brush;
      }
      break;
    case WM_DESTROY:
      // Checks and a fix still running finish on their own; their results are dropped.
      worker_.reset();
      firewallFix_.reset();
      return 0;
  }
  return DefaultHandling(message, wParam, lParam);
}

void ConnectionDoctor::RunChecks() {
  for (const Id id : kVerdicts) SetWindowTextUtf8(Control(id), kCheckingText);
  for (const Id id : kFound) SetWindowTextUtf8(Control(id), "");
  for (const Id id : kFixButtons) ::EnableWindow(Control(id), FALSE);
  const DoctorPorts ports = setup_.ports();
  ports_ = ports;
  gamePortText_ = ports.gamePortText;

  worker_->Run<CheckLine>(
      [ports] {
        const PortSnapshot snapshot = TakePortSnapshot(ports.serverProcess);
        const std::vector<WatchedPort> watched = {{"游戏端口", "UDP", ports.game},
                                                  {"查询端口", "UDP", ports.query},
                                                  {"REST API 端口", "TCP", ports.restApi}};
        return PortsLine(watched, snapshot.holders, snapshot.serverProcesses);
      },
      [this](CheckLine line) { ShowLine(Id::PortsVerdict, Id::PortsFound, "端口", line); });

  const std::string program = setup_.serverProgram;
  worker_->Run<FirewallResult>(
      [program, ports] {
        const FirewallReading reading = ReadFirewall();
        if (!reading.problem.empty()) return FirewallResult{{Verdict::Unknown, reading.problem}};
        const FirewallFindings findings =
            ReadFirewallRules(reading.rules, reading.state, program, ports.game, ports.query);
        const CheckLine line = FirewallLine(findings);
        return FirewallResult{line, line.verdict == Verdict::Fail,
                              static_cast<int>(findings.blockRules.size())};
      },
      [this](FirewallResult result) {
        blockRules_ = result.blockRules;
        ShowLine(Id::FirewallVerdict, Id::FirewallFound, "防火墙", result.line);
        ::EnableWindow(Control(Id::FirewallFixButton), result.fixable);
      });

  worker_->Run<CheckLine>(
      [] {
        const NetworkReading reading = ReadConnectedNetworks();
        if (!reading.problem.empty()) return CheckLine{Verdict::Unknown, reading.problem};
        return NetworkProfileLine(reading.networks);
      },
      [this](CheckLine line) { ShowLine(Id::ProfileVerdict, Id::ProfileFound, "网络类型", line); });

  worker_->Run<LanResult>(
      [ports] {
        const std::vector<std::string> addresses = LanAddresses();
        return LanResult{LanLine(addresses, ports.gamePortText),
                         LanConnectAddress(addresses, ports.gamePortText)};
      },
      [this](LanResult lan) {
        lanConnect_ = lan.connect;
        ShowLine(Id::LanVerdict, Id::LanFound, "局域网地址", lan.line);
        ::EnableWindow(Control(Id::CopyLanButton), !lanConnect_.empty());
      });

  const SearchTarget search = setup_.search;
  worker_->Run<RouterResult>(
      [search, ports] {
        const RouterNetwork network = SocketNetwork(search);
        RouterResult result;
        result.session = FindRouter(network);
        result.findings = CheckRouter(network, result.session, {ports.game, ports.query});
        return result;
      },
      [this](RouterResult result) { ShowRouter(result.session, result.findings); });

  const std::string primary = setup_.primaryEchoUrl;
  const std::string fallback = setup_.fallbackEchoUrl;
  worker_->Run<std::string>(
      [primary, fallback] {
        const std::string address =
            LookupPublicAddress([](const std::string& url) { return HttpGetText(url); }, primary,
                                fallback)
                .address;
        return address == kAddressLookupFailed ? std::string() : address;
      },
      [this](std::string publicAddress) {
        const NatFindings findings{router_.found, router_.externalAddress, router_.problem,
                                   publicAddress, gamePortText_};
        const CheckLine line = NatVerdict(findings);
        ShowLine(Id::NatVerdict, Id::NatFound, "公网地址与 NAT", line);
        const AddressKind kind = ClassifyIpv4(router_.externalAddress);
        carrierGradeNat_ =
            router_.found && (kind == AddressKind::Private || kind == AddressKind::Shared);
        ::EnableWindow(Control(Id::RecheckButton), TRUE);
      });
}

void ConnectionDoctor::ShowLine(Id verdict, Id found, const std::string& title,
                                const CheckLine& line) {
  if (!window_) return;
  SetWindowTextUtf8(Control(verdict), VerdictText(line.verdict));
  SetWindowTextUtf8(Control(found), line.found);
  setup_.log->Record("联机诊断 " + title + ": " + std::string(VerdictText(line.verdict)) + " - " +
                     line.found);
}

void ConnectionDoctor::ShowRouter(const RouterSession& session, const RouterFindings& findings) {
  session_ = session;
  router_ = findings;
  ShowLine(Id::RouterVerdict, Id::RouterFound, "路由器", RouterLine(findings));
  ::EnableWindow(Control(Id::MapButton), MayMap(findings));
  ::EnableWindow(Control(Id::RemoveButton), MayRemove(findings));
}

void ConnectionDoctor::ChangeMappings(bool add) {
  SetWindowTextUtf8(Control(Id::RouterVerdict), kCheckingText);
  for (const Id id : kFixButtons) ::EnableWindow(Control(id), FALSE);
  const SearchTarget search = setup_.search;
  const RouterSession session = session_;
  const RouterFindings before = router_;
  const unsigned short game = before.ports.empty() ? 0 : before.ports.front().port;
  const unsigned short query = before.ports.size() < 2 ? 0 : before.ports[1].port;
  worker_->Run<RouterResult>(
      [search, session, before, add, game, query] {
        const RouterNetwork network = SocketNetwork(search);
        RouterResult result;
        result.session = session;
        result.changes =
            add ? MapPorts(network, session, before) : RemoveMappings(network, session, before);
        result.findings = CheckRouter(network, session, {game, query});
        return result;
      },
      [this](RouterResult result) {
        for (const std::string& change : result.changes) setup_.log->Record(change);
        if (!window_) return;
        ShowRouter(result.session, result.findings);
        ::EnableWindow(Control(Id::CopyLanButton), !lanConnect_.empty());
        ::EnableWindow(Control(Id::RecheckButton), TRUE);
      });
}

// On a lane of its own: the checks still under way on the other do not hold up the system's
// elevation prompt.
void ConnectionDoctor::FixFirewallRules() {
  ::EnableWindow(Control(Id::FirewallFixButton), FALSE);
  const FirewallFixJob job{setup_.serverProgram, ports_.game, ports_.query};
  const int blockRules = blockRules_;
  const HWND owner = window_;
  SetWindowTextUtf8(Control(Id::FirewallVerdict), kCheckingText);
  firewallFix_->Run<CheckLine>(
      [owner, job, blockRules] {
        // The system's elevation prompt comes up during this call.
        const FixStart start = StartFirewallFix(owner, job);
        DWORD exitCode = kFixFailed;
        if (start.launch == FixLaunch::Ran) {
          // The helper does one short job; a helper that never ends is given up on.
          if (::WaitForSingleObject(start.process.get(), 60000) != WAIT_OBJECT_0 ||
              !::GetExitCodeProcess(start.process.get(), &exitCode)) {
            exitCode = kFixFailed;
          }
        }
        return FirewallFixOutcome(start.launch, exitCode, blockRules);
      },
      [this](CheckLine outcome) {
        ShowLine(Id::FirewallVerdict, Id::FirewallFound, "添加防火墙规则", outcome);
        ::EnableWindow(Control(Id::FirewallFixButton), outcome.verdict != Verdict::Pass);
      });
}

void ConnectionDoctor::CopyLanAddress() {
  if (lanConnect_.empty()) return;
  CopyToClipboard(window_, lanConnect_, [prompt = setup_.prompt, text = lanConnect_](bool) {
    prompt->Ask(" 已复制到剪辑版 【" + text + "】 ", " Info", PromptStyle::Information);
  });
}

}  // namespace tidemoor
