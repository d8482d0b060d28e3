#include "server/server_command_line.h"

#include <vector>

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

}  // namespace

LaunchOptions ReadLaunchOptions(const MainControls& controls) {
  LaunchOptions options;
  options.gamePort = controls.Text(MainControl::GamePortEdit);
  options.queryPort = controls.Text(MainControl::QueryPortEdit);
  options.maxPlayers = controls.Text(MainControl::MaxPlayersEdit);
  options.serverName = controls.Text(MainControl::ServerNameEdit);
  options.joinPassword = controls.Text(MainControl::JoinPasswordEdit);
  options.adminPassword = controls.Text(MainControl::AdminPasswordEdit);
  options.communityListing = controls.IsTicked(MainControl::CommunityBox);
  options.performanceSwitches = controls.IsTicked(MainControl::UseOptimizeFlagsBox);
  return options;
}

std::optional<std::string> BuildServerCommandLine(const LaunchOptions& options) {
  for (const std::string* value :
       {&options.serverName, &options.joinPassword, &options.adminPassword}) {
    if (value->find('"') != std::string::npos) return std::nullopt;
  }

  std::vector<std::string> pieces;
  pieces.push_back("\"PalServer.exe\"");
  pieces.push_back("-port=" + options.gamePort);
  pieces.push_back("-publicip=0.0.0.0");
  pieces.push_back("-publicport=" + options.queryPort);
  if (options.communityListing) pieces.push_back("-EpicApp=PalServer");
  pieces.push_back("-players=" + options.maxPlayers);
  pieces.push_back("-servername=\"" + options.serverName + "\"");
  pieces.push_back("-serverpassword=" + PasswordArgument(options.joinPassword));
  // An empty administrator password stays a bare switch, as the server has always been given it.
  pieces.push_back("-adminpassword=" + (options.adminPassword.empty()
                                            ? std::string()
                                            : PasswordArgument(options.adminPassword)));
  if (options.performanceSwitches) {
    pieces.push_back("-useperfthreads -NoAsyncLoadingThread -UseMultithreadForDS");
  }
  return JoinTexts(pieces, " ");
}

}  // namespace tidemoor
