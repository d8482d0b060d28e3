#include "server/server_command_line.h"

#include <algorithm>
#include <vector>

#include "common/port_number.h"
#include "platform/text.h"

namespace tidemoor {
namespace {

bool HoldsBlank(const std::string& value) {
  return value.find_first_of(" \t") != std::string::npos;
}

// The server reads a quoted value as one argument, the way it reads the server name.
std::string PasswordArgument(const std::string& value) {
  if (value.empty() || HoldsBlank(value)) return "\"" + value + "\"";
  return value;
}

// The digits of a whole number with the blanks around it dropped; nothing else passes.
bool ReadWholeNumber(std::string_view text, std::string& digits) {
  text = TrimBlanks(text);
  if (text.empty()) return false;
  if (!std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; })) {
    return false;
  }
  digits = text;
  return true;
}

}  // namespace

ServerCommandLine BuildServerCommandLine(const LaunchOptions& options) {
  const std::string* texts[] = {&options.serverName, &options.joinPassword, &options.adminPassword};
  for (const std::string* value : texts) {
    if (value->find('"') != std::string::npos) return {{}, kQuoteErrorText};
  }
  for (const std::string* value : texts) {
    if (!value->empty() && value->back() == '\\') return {{}, kBackslashErrorText};
  }
  std::string maxPlayers;
  const std::optional<uint16_t> gamePortNumber = ParsePortNumber(options.gamePort);
  const std::optional<uint16_t> queryPortNumber = ParsePortNumber(options.queryPort);
  if (!gamePortNumber || !queryPortNumber || !ReadWholeNumber(options.maxPlayers, maxPlayers)) {
    return {{}, kNumberErrorText};
  }
  const std::string gamePort = std::to_string(*gamePortNumber);
  const std::string queryPort = std::to_string(*queryPortNumber);

  std::vector<std::string> pieces;
  pieces.push_back("\"PalServer.exe\"");
  pieces.push_back("-port=" + gamePort);
  pieces.push_back("-publicip=0.0.0.0");
  // The listing advertises -publicport as the port players join on, so it is the game port; the
  // Steam query port has a switch of its own.
  pieces.push_back("-publicport=" + gamePort);
  pieces.push_back("-queryport=" + queryPort);
  // Since server 0.1.5 this switch lists the server among the community servers.
  if (options.communityListing) pieces.push_back("-publiclobby");
  pieces.push_back("-players=" + maxPlayers);
  pieces.push_back("-servername=\"" + options.serverName + "\"");
  pieces.push_back("-serverpassword=" + PasswordArgument(options.joinPassword));
  // An empty administrator password stays a bare switch, as the server has always been given it.
  pieces.push_back("-adminpassword=" + (options.adminPassword.empty()
                                            ? std::string()
                                            : PasswordArgument(options.adminPassword)));
  if (options.performanceSwitches) {
    pieces.push_back("-useperfthreads -NoAsyncLoadingThread -UseMultithreadForDS");
  }
  if (options.gameDataApi) pieces.push_back("-enable-gamedata-api");
  return {JoinTexts(pieces, " "), {}};
}

// Arguments as the server reads them: blanks outside double quotes part them, and the quotes
// themselves are dropped (the tool never passes a quote or a trailing backslash inside a value).
CommandLinePorts PortsOnCommandLine(std::string_view commandLine) {
  CommandLinePorts ports;
  std::string argument;
  bool quoted = false;
  const auto take = [&] {
    const size_t equals = argument.find('=');
    if (equals != std::string::npos) {
      const std::string_view name = std::string_view(argument).substr(0, equals);
      const uint16_t port = ParsePortNumber(argument.substr(equals + 1)).value_or(0);
      if (EqualsIgnoringCase(name, "-port")) ports.game = port;
      if (EqualsIgnoringCase(name, "-queryport")) ports.query = port;
    }
    argument.clear();
  };
  for (const char c : commandLine) {
    if (c == '"') {
      quoted = !quoted;
    } else if ((c == ' ' || c == '\t') && !quoted) {
      take();
    } else {
      argument += c;
    }
  }
  take();
  return ports;
}

}  // namespace tidemoor
