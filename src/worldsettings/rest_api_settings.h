#pragma once
// What a start writes into PalWorldSettings.ini: the main window's server name and passwords, and
// the pairs that turn the server's REST API on (RESTAPIEnabled, RESTAPIPort) for the safe stop.
// The server reads them as it starts; the tool then asks it to save and shut down instead of
// ending it.

#include <string>
#include <string_view>
#include <vector>

#include "worldsettings/option_list_reader.h"

namespace tidemoor {

// What the main window holds at a start, and what the tool remembers of earlier ones.
struct StartSettingsChoice {
  std::string serverName;
  std::string joinPassword;
  std::string adminPassword;
  bool safeStop = false;
  int restApiPort = 0;
  // The tool itself switched RESTAPIEnabled on at an earlier start (the host had not).
  bool apiOnByTool = false;
};

struct StartSettingsPlan {
  std::vector<OptionPair> pairs;  // values as the file holds them
  bool apiOnByTool = false;       // to remember once the pairs are in the file
};

// The pairs for a file whose text is fileText:
// - ServerName, ServerPassword and AdminPassword, quoted, at every start;
// - with the safe stop ticked and an admin password: RESTAPIEnabled=True and RESTAPIPort. The API
//   then counts as switched on by the tool unless the file had it on already;
// - otherwise, where the tool had switched the API on and the file still has it on,
//   RESTAPIEnabled=False. An API the host switched on is never switched off: that is their choice.
// An API without a password would let anyone who reaches its port run the admin commands, so an
// empty one never switches it on.
StartSettingsPlan PlanStartSettings(const StartSettingsChoice& choice, std::string_view fileText);

// The pairs as the event log names them; passwords by their key only.
std::string PairsForEventLog(const std::vector<OptionPair>& pairs);

enum class AdminPasswordStrength { Empty, Weak, Strong };

// Weak: fewer than 8 characters, or digits only. It guards the server's admin commands for
// anyone who can reach the REST API's port.
AdminPasswordStrength JudgeAdminPassword(std::string_view password);

// Whether the file's text turns the REST API on (RESTAPIEnabled=True, whatever the case and the
// blanks around the value; a key named twice counts with its later value); a file without the
// pair leaves it off, as the server does.
bool RestApiEnabledIn(std::string_view fileText);

}  // namespace tidemoor
