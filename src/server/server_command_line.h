#pragma once
// The dedicated server's command line, assembled from the main window's launch options at the
// moment of each start.

#include <cstdint>
#include <string>
#include <string_view>

namespace tidemoor {

// The launch options the user typed and ticked.
struct LaunchOptions {
  std::string gamePort;
  std::string queryPort;
  std::string maxPlayers;
  std::string serverName;
  std::string joinPassword;
  std::string adminPassword;
  bool communityListing = false;
  bool performanceSwitches = false;
  bool gameDataApi = false;  // 启用游戏数据接口: the last switch, only when ticked
};

inline constexpr char kQuoteErrorText[] = " 服务器名字和密码中不能包含双引号 ";
inline constexpr char kNumberErrorText[] = " 端口和人数只能填写数字 ";
inline constexpr char kBackslashErrorText[] = " 服务器名字和密码不能以反斜杠结尾 ";

// The command line, or why the options cannot give one: refusal then holds the message the start
// shows instead of launching anything, and text is empty.
struct ServerCommandLine {
  std::string text;
  std::string refusal;
};

// The pieces joined by blanks. The server reads its command line with the usual Windows argument
// rules, so a value must never be able to end its argument early and bring in switches of its own:
// - ports must be ports (one rule for every port the tool reads) and the player count a whole
//   number (blanks around them are dropped);
// - no value may hold a double quote, since there is no way to pass one through;
// - the server name and the passwords must not end in a backslash, which would turn the closing
//   quote of a quoted value into a literal one and swallow the switches after it.
// A password holding a blank is quoted so it stays one argument; so is an empty join password.
ServerCommandLine BuildServerCommandLine(const LaunchOptions& options);

// The ports a server's command line gives: -port= and -queryport= (in any case, as the server
// reads them), each 0 when absent or not a port.
struct CommandLinePorts {
  uint16_t game = 0;
  uint16_t query = 0;
};
CommandLinePorts PortsOnCommandLine(std::string_view commandLine);

}  // namespace tidemoor
