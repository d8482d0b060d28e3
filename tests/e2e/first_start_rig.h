#pragma once
// A first start from an empty tool folder: the tool, taskkill, the fixture SteamCMD with the server
// it "downloads", and the fake router on 127.0.0.1 (its calls in gateway-calls.txt) that the
// returned switch points the tool at. The start-up entry the guide writes lives in the Wine prefix
// every test shares: it goes with the rig.

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "app/run_options.h"
#include "app/start_with_windows.h"
#include "e2e/fixture_process.h"
#include "platform/codepage_win.h"
#include "support/e2e_win.h"

namespace tidemoor::testing {

class FirstStartRig {
 public:
  static constexpr char kCalls[] = "gateway-calls.txt";

  explicit FirstStartRig(std::string_view nameHint)
      : dir(nameHint), gateway(dir, "Gateway.exe", "public \"" + dir.File(kCalls) + "\"") {
    std::string ports;
    EXPECT_TRUE(WaitUntil(
        [&] { return !(ports = dir.ReadBytes(std::string(kCalls) + ".ports")).empty(); }));
    const size_t blank = ports.find(' ');
    testSettings =
        std::string(kTestSettingsSwitch) + "router-search-port=" + ports.substr(0, blank) +
        ";address-echo=http://127.0.0.1:" + ports.substr(blank + 1, ports.find('\r') - blank - 1) +
        "/ip";
    dir.InstallTool();
    dir.InstallFixture("taskkill.exe");
    dir.InstallFixture("Steamcmd.exe", "PaLWorld_Data");
    dir.InstallFixture("PalServer.exe", "PaLWorld_Data\\steamcmd-payload");
    dir.InstallFixture("PalServer-Win64-Test-Cmd.exe", "PaLWorld_Data\\steamcmd-payload");
  }
  ~FirstStartRig() {
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, Widen(kRunKey).c_str(), Widen(kLogonEntryName).c_str());
  }
  FirstStartRig(const FirstStartRig&) = delete;
  FirstStartRig& operator=(const FirstStartRig&) = delete;

  TempToolDirectory dir;
  FixtureProcess gateway;
  std::string testSettings;  // what follows the tool's path: the router and the address lookup
};

}  // namespace tidemoor::testing
