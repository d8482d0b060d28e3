#pragma once
// Windows Firewall through its COM interface: reading the state and the rules for the check, and
// the elevated helper's one job.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "net/firewall_fix.h"
#include "net/firewall_rules.h"
#include "platform/unique_handle_win.h"

namespace tidemoor {

struct FirewallReading {
  std::string problem;  // set when the firewall could not be read ("不支持" where it is missing)
  FirewallState state;
  std::vector<FirewallRule> rules;
};

// Reads on the calling thread, which it enters into COM for the call.
FirewallReading ReadFirewall();

// The helper's job: inbound UDP allow rules for the program and for the two ports in every
// profile (the tool's earlier ones replaced), and every enabled inbound block rule on the program
// disabled. Never a rule that opens TCP, so never the REST API port. Returns the exit code.
FirewallFixExit FixFirewall(const FirewallFixJob& job);

// When this process was started as the helper, does the job and returns the exit code.
std::optional<unsigned long> RunFirewallFixIfAsked();

// Starts this program again elevated (the system asks the user, and the call waits for the
// answer: never on the window's thread) with the job. The process to wait for, or how the start
// failed. Enters the calling thread into COM for the call.
struct FixStart {
  FixLaunch launch = FixLaunch::NotStarted;
  UniqueHandle process;
};
FixStart StartFirewallFix(HWND owner, const FirewallFixJob& job);

}  // namespace tidemoor
