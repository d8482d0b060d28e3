#include "server/server_command_line.h"

#include <gtest/gtest.h>

namespace tidemoor {
namespace {

LaunchOptions DefaultOptions() {
  LaunchOptions options;
  options.gamePort = "8211";
  options.queryPort = "27015";
  options.maxPlayers = "88";
  options.serverName = "Host";
  options.joinPassword = "";
  options.adminPassword = "abcdefgh";
  return options;
}

TEST(ServerCommandLine, BothBoxesUntickedGiveEightPieces) {
  EXPECT_EQ(BuildServerCommandLine(DefaultOptions()),
            "\"PalServer.exe\" -port=8211 -publicip=0.0.0.0 -publicport=27015 -players=88 "
            "-servername=\"Host\" -serverpassword=\"\" -adminpassword=abcdefgh");
}

TEST(ServerCommandLine, CommunityListingSitsBeforePlayersAndSwitchesComeLast) {
  LaunchOptions options = DefaultOptions();
  options.communityListing = true;
  options.performanceSwitches = true;
  options.joinPassword = "join";
  EXPECT_EQ(BuildServerCommandLine(options),
            "\"PalServer.exe\" -port=8211 -publicip=0.0.0.0 -publicport=27015 -EpicApp=PalServer "
            "-players=88 -servername=\"Host\" -serverpassword=join -adminpassword=abcdefgh "
            "-useperfthreads -NoAsyncLoadingThread -UseMultithreadForDS");
}

TEST(ServerCommandLine, ValuesWithBlanksStayOneArgument) {
  LaunchOptions options = DefaultOptions();
  options.serverName = "My Host [CN]";
  options.joinPassword = "open sesame";
  options.adminPassword = "\tadmin";
  EXPECT_EQ(BuildServerCommandLine(options),
            "\"PalServer.exe\" -port=8211 -publicip=0.0.0.0 -publicport=27015 -players=88 "
            "-servername=\"My Host [CN]\" -serverpassword=\"open sesame\" "
            "-adminpassword=\"\tadmin\"");

  options.joinPassword = " ";
  EXPECT_NE(BuildServerCommandLine(options)->find(" -serverpassword=\" \" "), std::string::npos);
}

TEST(ServerCommandLine, EmptyValuesGiveBareSwitches) {
  LaunchOptions options;
  EXPECT_EQ(BuildServerCommandLine(options),
            "\"PalServer.exe\" -port= -publicip=0.0.0.0 -publicport= -players= -servername=\"\" "
            "-serverpassword=\"\" -adminpassword=");
}

TEST(ServerCommandLine, DoubleQuoteInNameOrPasswordsGivesNoCommandLine) {
  for (std::string LaunchOptions::*field :
       {&LaunchOptions::serverName, &LaunchOptions::joinPassword, &LaunchOptions::adminPassword}) {
    LaunchOptions options = DefaultOptions();
    options.*field = "a\" -port=1";
    EXPECT_FALSE(BuildServerCommandLine(options).has_value());
  }
}

}  // namespace
}  // namespace tidemoor
