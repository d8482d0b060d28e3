#pragma once
// The dedicated server's command line, assembled from the main window's launch options at the
// moment of each start.

#include <string>

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
// - ports and the player count must be whole numbers (blanks around them are dropped);
// - no value may hold a double quote, since there is no way to pass one through;
// - the server name and the passwords must not end in a backslash, which would turn the closing
//   quote of a quoted value into a literal one and swallow the switches after it.
// A password holding a blank is quoted so it stays one argument; so is an empty join password.
ServerCommandLine BuildServerCommandLine(const LaunchOptions& options);

}  // namespace tidemoor
