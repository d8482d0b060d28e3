#pragma once
// The dedicated server's command line, assembled from the main window's launch options at the
// moment of each start.

#include <optional>
#include <string>

#include "app/main_controls.h"

namespace tidemoor {

// The launch options as the start reads them from their controls.
struct LaunchOptions {
  std::string gamePort;
  std::string queryPort;
  std::string maxPlayers;
  std::string serverName;
  std::string joinPassword;
  std::string adminPassword;
  bool communityListing = false;
  bool performanceSwitches = false;
};

LaunchOptions ReadLaunchOptions(const MainControls& controls);

// The pieces joined by blanks. Values are passed as typed, except that a password holding a
// blank is quoted so it stays one argument. No value may hold a double quote: there is no way to
// pass one through to the server, so such options give no command line at all.
std::optional<std::string> BuildServerCommandLine(const LaunchOptions& options);

}  // namespace tidemoor
