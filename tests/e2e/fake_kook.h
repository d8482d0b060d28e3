#pragma once
// The fake KOOK chat service (tests/fixtures/KookServer) started from a tool directory: its API
// address, the lines it recorded (API calls, gateway connections, the bot's frames, what it did),
// and the control file through which a test makes people write to the bot.

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <string>
#include <vector>

#include "e2e/fixture_process.h"
#include "platform/codepage_win.h"
#include "support/e2e_win.h"

namespace tidemoor::testing {

class FakeKook {
 public:
  static constexpr char kRecord[] = "kook.txt";

  // Installs and starts it, expecting the token (none: any token is taken), and waits for its
  // port.
  FakeKook(const TempToolDirectory& dir, const std::string& token)
      : dir_(dir),
        process_(dir, "KookServer.exe",
                 "\"" + dir.File(kRecord) + "\"" + (token.empty() ? "" : " " + token)) {
    std::string port;
    EXPECT_TRUE(WaitUntil([&] { return !(port = dir.ReadBytes(Record(".port"))).empty(); }));
    port_ = port.substr(0, port.find('\r'));
  }

  std::string Port() const { return port_; }
  std::string ApiBase() const { return "http://127.0.0.1:" + port_ + "/api/v3"; }
  std::string GatewayUrl() const { return "ws://127.0.0.1:" + port_ + "/gateway?compress=0"; }

  // Appends a control line (UTF-8): "group <channel> <author> <name> <text...>",
  // "person <author> <name> <text...>", "mention <channel> <author> <name> <text...>" or "drop".
  // The fake acts on it once a bot is connected and then records "DID <line>".
  void Say(const std::string& line) const {
    const std::string bytes = line + "\r\n";
    HANDLE file = ::CreateFileW(Widen(dir_.File(Record(".say"))).c_str(), FILE_APPEND_DATA,
                                FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD written = 0;
    ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
  }

  std::vector<std::string> Lines() const {
    std::vector<std::string> lines;
    const std::string all = dir_.ReadBytes(kRecord);
    for (size_t at = 0, end; (end = all.find("\r\n", at)) != std::string::npos; at = end + 2) {
      lines.push_back(all.substr(at, end - at));
    }
    return lines;
  }

  // Waits until a recorded line contains the text; true if one does.
  bool WaitForLine(const std::string& contains,
                   std::chrono::seconds limit = std::chrono::seconds(20)) const {
    return WaitUntil(
        [&] {
          const std::vector<std::string> lines = Lines();
          return std::any_of(lines.begin(), lines.end(), [&](const std::string& line) {
            return line.find(contains) != std::string::npos;
          });
        },
        limit);
  }

  // How many times a bot has connected to the gateway.
  int Connections() const {
    const std::vector<std::string> lines = Lines();
    return static_cast<int>(std::count_if(lines.begin(), lines.end(), [](const std::string& line) {
      return line.starts_with("WS ");
    }));
  }

 private:
  static std::string Record(const char* suffix) { return std::string(kRecord) + suffix; }

  const TempToolDirectory& dir_;
  FixtureProcess process_;
  std::string port_;
};

}  // namespace tidemoor::testing
