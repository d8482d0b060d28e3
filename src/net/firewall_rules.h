#pragma once
// Whether Windows Firewall lets friends reach the server, decided over a plain list of the
// firewall's rules. A dismissed first-run prompt leaves an inbound block rule for the server's
// program behind, which wins over every allow rule; it is found and named.

#include <span>
#include <string>
#include <vector>

#include "net/check_verdict.h"

namespace tidemoor {

// The firewall's profile bits.
inline constexpr unsigned kProfileDomain = 1;
inline constexpr unsigned kProfilePrivate = 2;
inline constexpr unsigned kProfilePublic = 4;
inline constexpr unsigned kAllProfiles = 0x7FFFFFFF;

struct FirewallRule {
  std::string name;
  bool enabled = true;
  bool inbound = true;
  bool allow = true;
  std::string program;     // full path; empty for any program
  std::string protocol;    // UDP, TCP; empty for any
  std::string localPorts;  // "8211", "8211,27015", "8000-9000", "*"; empty for any
  unsigned profiles = kAllProfiles;
};

struct FirewallState {
  unsigned activeProfiles = 0;   // the profiles of the networks this PC is on
  unsigned enabledProfiles = 0;  // the profiles the firewall is on for
};

// Whether a rule's local port list covers port ("*" and empty cover all; malformed parts none).
bool PortListCovers(std::string_view localPorts, unsigned short port);

// Windows paths compared as Windows compares them: without case, either slash.
bool SameProgramPath(std::string_view a, std::string_view b);

struct FirewallFindings {
  bool firewallOn = false;
  std::vector<std::string> blockRules;  // enabled inbound block rules on the program or a port
  std::vector<std::string> allowRules;  // enabled inbound allow rules on the program or a port
  bool programAllowed = false;
  bool portsAllowed = false;  // both UDP ports
};

FirewallFindings ReadFirewallRules(std::span<const FirewallRule> rules, const FirewallState& state,
                                   std::string_view serverProgram, unsigned short gamePort,
                                   unsigned short queryPort);

CheckLine FirewallLine(const FirewallFindings& findings);

}  // namespace tidemoor
