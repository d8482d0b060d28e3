#pragma once
// Changing the firewall needs administrator rights, so the tool starts a second copy of itself,
// elevated, for that one job: these are the switch it is started with, the rules it makes and
// the result it exits with.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "net/check_verdict.h"

namespace tidemoor {

inline constexpr char kFirewallFixSwitch[] = "--firewall-fix";
// The tool's own rules, recognised by these names and replaced (never duplicated) by a new fix.
inline constexpr char kProgramRuleName[] = "Tidemoor Palworld 服务端程序";
inline constexpr char kPortsRuleName[] = "Tidemoor Palworld 服务端 UDP 端口";

struct FirewallFixJob {
  std::string program;  // the server's program, full path
  unsigned short gamePort = 0;
  unsigned short queryPort = 0;
  bool operator==(const FirewallFixJob&) const = default;
};

// The helper's arguments after the program name: the switch, the program, the two UDP ports.
std::vector<std::string> FirewallFixArguments(const FirewallFixJob& job);
// The job when the arguments are exactly those; nullopt for anything else.
std::optional<FirewallFixJob> ReadFirewallFixArguments(const std::vector<std::string>& arguments);

// "8211,27015", or one port when both are the same.
std::string FixPortList(const FirewallFixJob& job);

// What the helper exits with.
enum FirewallFixExit : unsigned long {
  kFixDone = 0,
  kFixUnsupported = 2,   // this Windows has no firewall interface
  kFixFailed = 3,        // the firewall refused a change
  kFixBadArguments = 4,  // started with anything else than a job for this tool's server
};

// How a helper run ended, as the window and the event log tell it.
enum class FixLaunch { Ran, Refused, NotStarted };
CheckLine FirewallFixOutcome(FixLaunch launch, unsigned long exitCode, int disabledBlockRules);

}  // namespace tidemoor
