// The update watcher with the fixture SteamCMD publishing a newer build than the installed
// manifest records: with nobody online the tool updates at once through the safe stop and starts
// the server again. The check period is cut to a second for the test
// (update-check-ms in --test-settings).

#include <gtest/gtest.h>

#include "lifecycle_rig.h"

namespace tidemoor::testing {
namespace {

constexpr char kRuns[] = "PaLWorld_Data\\Steamcmd-runs.txt";
constexpr char kManifest[] = "PaLWorld_Data\\steamapps\\appmanifest_2394010.acf";
constexpr char kCachedAppInfo[] = "PaLWorld_Data\\appcache\\appinfo.vdf";

std::string Manifest(int build) {
  return "\"AppState\"\r\n{\r\n\t\"appid\"\t\t\"2394010\"\r\n\t\"buildid\"\t\t\"" +
         std::to_string(build) + "\"\r\n}\r\n";
}

class UpdateWatchTest : public LifecycleRig {
 protected:
  void PlaceSteamCmdPublishing(int build) {
    directory.InstallFixture("Steamcmd.exe", "PaLWorld_Data");
    directory.InstallFixture("PalServer.exe", "PaLWorld_Data\\steamcmd-payload");
    directory.InstallFixture("PalServer-Win64-Test-Cmd.exe", "PaLWorld_Data\\steamcmd-payload");
    directory.WriteBytes("PaLWorld_Data\\steamcmd-buildid.txt", std::to_string(build));
  }

  HWND OpenToolCheckingEachSecond() { return OpenTool("update-check-ms=1000"); }
};

TEST_F(UpdateWatchTest, NewerBuildWithNobodyOnlineIsInstalledThroughTheSafeStopAndStarted) {
  Prepare({.apiPort = 18294});
  PlaceSteamCmdPublishing(200);
  directory.WriteBytes(kManifest, Manifest(100));
  directory.WriteBytes(kCachedAppInfo, "stale");
  PutFlag("nobody-online.flag");
  HWND window = OpenToolCheckingEachSecond();
  ASSERT_NE(window, nullptr);
  StartAndWaitForTheApi(window);

  ASSERT_TRUE(WaitUntil([&] { return Launches() == 2; }, std::chrono::seconds(90))) << EventLog();
  const std::string runs = directory.ReadBytes(kRuns);
  const size_t asked =
      runs.find("+login anonymous +app_info_update 1 +app_info_print 2394010 +quit");
  const size_t updated = runs.find("+login anonymous +app_update 2394010 validate +quit");
  ASSERT_NE(asked, std::string::npos) << runs;
  ASSERT_NE(updated, std::string::npos) << runs;
  EXPECT_LT(asked, updated) << runs;
  // SteamCMD answers from its cache when it has one, however old.
  EXPECT_FALSE(directory.Exists(kCachedAppInfo));
  EXPECT_EQ(directory.ReadBytes(kManifest), Manifest(200));

  const std::string calls = ApiCalls();
  EXPECT_NE(calls.find("POST /v1/api/save"), std::string::npos) << calls;
  EXPECT_NE(calls.find("POST /v1/api/shutdown"), std::string::npos) << calls;
  EXPECT_EQ(calls.find("/v1/api/announce"), std::string::npos) << calls;
  const std::string events = EventLog();
  EXPECT_NE(events.find("发现服务端新版本: 已安装 100, 最新 200"), std::string::npos) << events;
  EXPECT_NE(events.find("服务端已更新到版本 200"), std::string::npos) << events;
  EXPECT_TRUE(WaitUntil([&] {
    return ControlText(window, Id(MainControl::StartButton)) == std::string(kStopCaption);
  }));
}

}  // namespace
}  // namespace tidemoor::testing
