#include "server/server_command_line.h"

#include "common/port_number.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

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

// How a program started with the line splits it into arguments under the usual Windows rules:
// blanks and tabs separate outside quotes; 2n backslashes before a quote give n and the quote
// opens or closes a quoted part; 2n+1 give n and a literal quote; other backslashes are literal;
// inside quotes, two quotes give one literal quote.
std::vector<std::string> SplitLikeWindows(const std::string& line) {
  std::vector<std::string> arguments;
  size_t i = 0;
  while (true) {
    while (i < line.size() && (line[i] == ' ' || line[i] == '\t')) ++i;
    if (i == line.size()) return arguments;
    std::string argument;
    bool quoted = false;
    while (i < line.size() && (quoted || (line[i] != ' ' && line[i] != '\t'))) {
      size_t backslashes = 0;
      while (i < line.size() && line[i] == '\\') ++backslashes, ++i;
      if (i < line.size() && line[i] == '"') {
        argument.append(backslashes / 2, '\\');
        if (backslashes % 2 == 1) {
          argument += '"';
        } else if (quoted && i + 1 < line.size() && line[i + 1] == '"') {
          argument += '"';
          ++i;
        } else {
          quoted = !quoted;
        }
        ++i;
      } else {
        argument.append(backslashes, '\\');
        if (backslashes == 0) argument += line[i++];
      }
    }
    arguments.push_back(argument);
  }
}

// The listing advertises -publicport as the port players join on, so it carries the game port and
// the query port follows as -queryport; -publiclobby lists the server since server 0.1.5.
TEST(ServerCommandLine, TheBoxesAddTheirPiecesInPlace) {
  LaunchOptions options = DefaultOptions();
  EXPECT_EQ(BuildServerCommandLine(options).text,
            "\"PalServer.exe\" -port=8211 -publicip=0.0.0.0 -publicport=8211 -queryport=27015 "
            "-players=88 -servername=\"Host\" -serverpassword=\"\" -adminpassword=abcdefgh");

  options.communityListing = true;
  options.performanceSwitches = true;
  options.joinPassword = "join";
  EXPECT_EQ(BuildServerCommandLine(options).text,
            "\"PalServer.exe\" -port=8211 -publicip=0.0.0.0 -publicport=8211 -queryport=27015 "
            "-publiclobby -players=88 -servername=\"Host\" -serverpassword=join "
            "-adminpassword=abcdefgh -useperfthreads -NoAsyncLoadingThread -UseMultithreadForDS");

  options.gameDataApi = true;
  EXPECT_TRUE(
      BuildServerCommandLine(options).text.ends_with("-UseMultithreadForDS -enable-gamedata-api"));
}

TEST(ServerCommandLine, ValuesWithBlanksStayOneArgument) {
  LaunchOptions options = DefaultOptions();
  options.serverName = "My Host [CN]";
  options.joinPassword = "open sesame";
  options.adminPassword = "\tadmin";
  EXPECT_EQ(BuildServerCommandLine(options).text,
            "\"PalServer.exe\" -port=8211 -publicip=0.0.0.0 -publicport=8211 -queryport=27015 "
            "-players=88 -servername=\"My Host [CN]\" -serverpassword=\"open sesame\" "
            "-adminpassword=\"\tadmin\"");

  options.joinPassword = " ";
  EXPECT_NE(BuildServerCommandLine(options).text.find(" -serverpassword=\" \" "),
            std::string::npos);
}

TEST(ServerCommandLine, NumbersLoseTheirBlanksAndEmptyPasswordsStayEmpty) {
  LaunchOptions options = DefaultOptions();
  options.gamePort = " 8211\t";
  options.queryPort = "  27015";
  options.maxPlayers = "32 ";
  options.serverName = "";
  options.adminPassword = "";
  EXPECT_EQ(BuildServerCommandLine(options).text,
            "\"PalServer.exe\" -port=8211 -publicip=0.0.0.0 -publicport=8211 -queryport=27015 "
            "-players=32 -servername=\"\" -serverpassword=\"\" -adminpassword=");
}

TEST(ServerCommandLine, RefusesWhatWouldBendTheLine) {
  struct Case {
    std::string LaunchOptions::*field;
    std::string value;
    const char* refusal;
  };
  const Case cases[] = {
      {&LaunchOptions::serverName, "a\" -port=1", kQuoteErrorText},
      {&LaunchOptions::joinPassword, "pa\"ss", kQuoteErrorText},
      {&LaunchOptions::adminPassword, "\"", kQuoteErrorText},
      {&LaunchOptions::gamePort, "8211\"", kNumberErrorText},
      {&LaunchOptions::gamePort, "", kNumberErrorText},
      {&LaunchOptions::gamePort, "0", kNumberErrorText},
      {&LaunchOptions::gamePort, "65536", kNumberErrorText},
      {&LaunchOptions::queryPort, "-1", kNumberErrorText},
      {&LaunchOptions::maxPlayers, "32 -serverpassword= -adminpassword=x", kNumberErrorText},
      {&LaunchOptions::maxPlayers, "3 2", kNumberErrorText},
      {&LaunchOptions::serverName, "My Server\\", kBackslashErrorText},
      {&LaunchOptions::joinPassword, "open sesame\\", kBackslashErrorText},
      {&LaunchOptions::adminPassword, "admin\\\\", kBackslashErrorText},
  };
  for (const Case& c : cases) {
    LaunchOptions options = DefaultOptions();
    options.*c.field = c.value;
    const ServerCommandLine line = BuildServerCommandLine(options);
    EXPECT_EQ(line.refusal, c.refusal) << c.value;
    EXPECT_EQ(line.text, "") << c.value;
  }
}

// Whatever is typed, the server either gets exactly the described switches with the values as
// typed (the ports as the one port rule reads them), or nothing is launched.
TEST(ServerCommandLine, AnyTypedValuesSplitIntoExactlyTheDescribedArguments) {
  const std::vector<std::string> alphabet = {"a", "Z", "7", " ",  "\t", "\\", "\"",
                                             "-", "=", "/", "中", "【", "😀",  "0"};
  const std::vector<std::string> numbers = {"8211", " 8211", "27015 ", "0",    "",      "12a",
                                            "1 2",  "-1",    "\\",     "32\"", "\t88\t"};
  std::mt19937 random(20261209);
  const auto text = [&](size_t maxLength) {
    std::string value;
    for (size_t n = random() % (maxLength + 1); n > 0; --n) {
      value += alphabet[random() % alphabet.size()];
    }
    return value;
  };
  const auto pick = [&](const std::vector<std::string>& from) {
    return from[random() % from.size()];
  };
  const auto trimmed = [](std::string value) {
    value.erase(0, value.find_first_not_of(" \t"));
    value.erase(value.find_last_not_of(" \t") + 1);
    return value;
  };
  const auto wholeNumber = [&](const std::string& value) {
    const std::string digits = trimmed(value);
    return !digits.empty() && digits.find_first_not_of("0123456789") == std::string::npos;
  };

  int launched = 0;
  for (int round = 0; round < 20000; ++round) {
    LaunchOptions options;
    options.gamePort = pick(numbers);
    options.queryPort = pick(numbers);
    options.maxPlayers = pick(numbers);
    options.serverName = text(8);
    options.joinPassword = text(6);
    options.adminPassword = text(6);
    options.communityListing = random() % 2;
    options.performanceSwitches = random() % 2;
    const ServerCommandLine line = BuildServerCommandLine(options);

    const std::optional<uint16_t> gamePort = ParsePortNumber(options.gamePort);
    const std::optional<uint16_t> queryPort = ParsePortNumber(options.queryPort);
    bool acceptable = gamePort && queryPort && wholeNumber(options.maxPlayers);
    for (const std::string* value :
         {&options.serverName, &options.joinPassword, &options.adminPassword}) {
      acceptable = acceptable && value->find('"') == std::string::npos &&
                   (value->empty() || value->back() != '\\');
    }
    ASSERT_EQ(line.refusal.empty(), acceptable)
        << options.serverName << "|" << options.joinPassword << "|" << options.adminPassword;
    if (!acceptable) continue;
    ++launched;

    std::vector<std::string> expected = {
        "PalServer.exe", "-port=" + std::to_string(*gamePort), "-publicip=0.0.0.0",
        "-publicport=" + std::to_string(*gamePort), "-queryport=" + std::to_string(*queryPort)};
    if (options.communityListing) expected.push_back("-publiclobby");
    expected.push_back("-players=" + trimmed(options.maxPlayers));
    expected.push_back("-servername=" + options.serverName);
    expected.push_back("-serverpassword=" + options.joinPassword);
    expected.push_back("-adminpassword=" + options.adminPassword);
    if (options.performanceSwitches) {
      expected.insert(expected.end(),
                      {"-useperfthreads", "-NoAsyncLoadingThread", "-UseMultithreadForDS"});
    }
    ASSERT_EQ(SplitLikeWindows(line.text), expected) << line.text;
  }
  EXPECT_GT(launched, 400);
}

// The ports a running server was started with, read back from its command line as the server
// reads its switches: by their whole name, in any case.
TEST(ServerCommandLine, PortsAreReadBackFromARunningServersCommandLine) {
  const struct {
    const char* commandLine;
    uint16_t game, query;
  } cases[] = {
      {"\"PalServer.exe\" -port=8211 -publicip=0.0.0.0 -publicport=8211 -queryport=27015", 8211,
       27015},
      {"PalServer.exe -publicport=7777 -PORT=9000", 9000, 0},
      {"PalServer.exe -queryport=70000 -port=0", 0, 0},
      {"PalServer.exe -servername=\"a -port=1\" -port=8211", 8211, 0},
      {"", 0, 0},
  };
  for (const auto& [commandLine, game, query] : cases) {
    const CommandLinePorts ports = PortsOnCommandLine(commandLine);
    EXPECT_EQ(ports.game, game) << commandLine;
    EXPECT_EQ(ports.query, query) << commandLine;
  }
}

}  // namespace
}  // namespace tidemoor
