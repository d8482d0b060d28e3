#pragma once
// How this run of the tool was started, read once from its command line by the entry point and
// handed down: by the user's sign-in or not, and the end-to-end tests' settings, which are the only
// way a test reaches into the shipped program.

#include <cstdint>
#include <string>
#include <vector>

namespace tidemoor {

inline constexpr char kTestSettingsSwitch[] = "--test-settings=";

// --test-settings=<name>=<value>;<name>=<value>... (unknown names and bad values are ignored):
//   router-search-port=<port>  the router is looked for on 127.0.0.1 at that port, not on the LAN
//   address-echo=<url>         the public address is asked of that http://127.0.0.1:<port>/ address
//                              instead of the internet's services (any other host is ignored)
//   memory-check-ms=<n>        the memory guard checks every n ms instead of once a minute
//   update-check-ms=<n>        the update watch checks every n ms, and a minute of its countdown
//                              lasts n ms
//   metrics-sample-ms=<n>      the server's week is sampled every n ms instead of once a minute
//   remote-notice-ms=<n>       a restart or stop from the chat gives the players n ms of notice
//                              instead of a minute
struct TestSettings {
  uint16_t routerSearchPort = 0;  // 0: the LAN's multicast group
  std::string addressEcho;        // empty: the real services
  unsigned memoryCheckMs = 0;     // 0: once a minute
  unsigned updateCheckMs = 0;     // 0: the host's minutes
  unsigned metricsSampleMs = 0;   // 0: once a minute
  unsigned remoteNoticeMs = 0;    // 0: a minute
};

struct RunOptions {
  bool atLogon = false;  // --autostart: the user's sign-in started the tool
  TestSettings tests;
};

// The arguments after the program's own path.
RunOptions ReadRunOptions(const std::vector<std::string>& arguments);

}  // namespace tidemoor
