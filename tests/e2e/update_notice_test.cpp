// A newer server build while players are online: the countdown's three notices, then the same
// update as with nobody online. A check and a minute of the countdown last a second here.

#include "e2e/lifecycle_rig.h"

namespace tidemoor::testing {
namespace {

class UpdateNotices : public LifecycleRig {};

TEST_F(UpdateNotices, PlayersOnlineHearTenFiveAndOneMinuteBeforeTheUpdate) {
  Prepare({.apiPort = 18293});
  directory.InstallFixture("Steamcmd.exe", "PaLWorld_Data");
  directory.InstallFixture("PalServer.exe", "PaLWorld_Data\\steamcmd-payload");
  directory.InstallFixture("PalServer-Win64-Test-Cmd.exe", "PaLWorld_Data\\steamcmd-payload");
  directory.WriteBytes("PaLWorld_Data\\steamcmd-buildid.txt", "200");
  directory.WriteBytes("PaLWorld_Data\\steamapps\\appmanifest_2394010.acf",
                       "\"AppState\" { \"buildid\" \"100\" }");
  HWND window = OpenTool("update-check-ms=1000");
  ASSERT_NE(window, nullptr);
  StartAndWaitForTheApi(window);

  ASSERT_TRUE(WaitUntil([&] { return Launches() == 2; }, std::chrono::seconds(90))) << EventLog();
  const std::string calls = ApiCalls();
  size_t at = 0;
  for (const char* minutes : {"10", "5", "1"}) {
    const std::string notice =
        std::string(R"(POST /v1/api/announce {"message":"服务端有新版本，将在 )") + minutes +
        R"( 分钟后重启更新"})";
    const size_t found = calls.find(notice, at);
    ASSERT_NE(found, std::string::npos) << notice << "\n" << calls;
    at = found + 1;
  }
  EXPECT_LT(at, calls.find("POST /v1/api/save", at)) << calls;
  EXPECT_NE(directory.ReadBytes("PaLWorld_Data\\Steamcmd-runs.txt").find("+app_update 2394010"),
            std::string::npos);
  EXPECT_EQ(Kills(), "") << EventLog();
}

}  // namespace
}  // namespace tidemoor::testing
