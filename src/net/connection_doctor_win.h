#pragma once
// The window 联机诊断: why friends cannot join. One line per check (the server's ports, the
// firewall, the network profile, the LAN address, the router, the public address and NAT), each
// filled in on a worker thread as its check ends, with the fixes a click can make beside it. The
// decisions are the portable checks'; this is the Win32 side.

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

#include "net/gateway_socket_win.h"
#include "net/router_session.h"
#include "platform/event_log.h"
#include "platform/prompt.h"
#include "platform/tool_window_win.h"
#include "platform/worker_win.h"

namespace tidemoor {

// Child-window ids, so tests and the end-to-end driver find them.
enum class DoctorControl : int {
  PortsTitle = 1101,
  PortsVerdict,
  PortsFound,
  LanTitle,
  LanVerdict,
  LanFound,
  CopyLanButton,
  RouterTitle,
  RouterVerdict,
  RouterFound,
  MapButton,
  RemoveButton,
  NatTitle,
  NatVerdict,
  NatFound,
  RecheckButton,
  FirewallTitle,
  FirewallVerdict,
  FirewallFound,
  FirewallFixButton,
  ProfileTitle,
  ProfileVerdict,
  ProfileFound,
};

inline constexpr char kDoctorTitle[] = "联机诊断";
inline constexpr char kCheckingText[] = "检查中...";

// What the checks need to know of the server, read at each check.
struct DoctorPorts {
  std::string gamePortText;  // as typed, for the addresses shown
  unsigned short game = 0;
  unsigned short query = 0;
  unsigned short restApi = 0;
  unsigned serverProcess = 0;  // 0 while the server is stopped
};

struct DoctorSetup {
  HWND owner = nullptr;
  Prompt* prompt = nullptr;
  EventLog* log = nullptr;
  std::function<DoctorPorts()> ports;
  std::string serverProgram;  // PalServer-Win64-Shipping-Cmd.exe, full path
  SearchTarget search;
  std::string primaryEchoUrl;
  std::string fallbackEchoUrl;
};

class ConnectionDoctor : public ToolWindow<ConnectionDoctor> {
 public:
  static constexpr ToolWindowKind kKind{L"TidemoorConnectionDoctor", kDoctorTitle, 990, 300};

  // Opens the window and runs the checks, or brings it forward when it is open already. The setup
  // given at the first opening serves every later one.
  HWND Open(DoctorSetup setup);
  // What the last diagnosis found: the router's outside address is a carrier-grade NAT's (or
  // another private one), so friends outside cannot reach the public address.
  bool CarrierGradeNatFound() const { return carrierGradeNat_; }

 private:
  friend class ToolWindow<ConnectionDoctor>;
  void OnCreate(UINT dpi);
  void PlaceControls(UINT dpi);
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void RunChecks();
  void ShowLine(DoctorControl verdict, DoctorControl found, const std::string& title,
                const CheckLine& line);
  void ShowRouter(const RouterSession& session, const RouterFindings& findings);
  void ChangeMappings(bool add);
  void CopyLanAddress();
  void FixFirewallRules();

  DoctorSetup setup_;
  std::unique_ptr<Worker> worker_;
  std::unique_ptr<Worker> firewallFix_;
  RouterSession session_;
  RouterFindings router_;
  std::string lanConnect_;
  std::string gamePortText_;
  DoctorPorts ports_;
  int blockRules_ = 0;  // block rules the last firewall check found
  bool carrierGradeNat_ = false;
  UniqueGdiObject font_;
};

}  // namespace tidemoor
