// What takes minutes of real time: the interval restart with its notice, and a server that stops
// answering. A separate test program, so the quick end-to-end tests keep their own time-out.

#include "e2e/lifecycle_rig.h"

namespace tidemoor::testing {
namespace {

class ServerSchedule : public LifecycleRig {};

// Two minutes: only the one-minute notice fits.
TEST_F(ServerSchedule, IntervalRestartAnnouncesThenShutsDownAndStartsAgainWithoutAKill) {
  Prepare({.apiPort = 18241, .intervalRestart = true, .intervalMinutes = 2, .restartNotice = true});
  HWND window = OpenTool();
  ASSERT_NE(window, nullptr);
  StartAndWaitForTheApi(window);

  ASSERT_TRUE(WaitUntil([&] { return Launches() == 2; }, std::chrono::minutes(5)))
      << EventLog() << ApiCalls() << ControlText(window, Id(MainControl::StatusLine));
  EXPECT_TRUE(
      WaitUntil([&] { return ControlText(window, Id(MainControl::StartButton)) == kStopCaption; }));
  const std::string calls = ApiCalls();
  const size_t notice =
      calls.find(R"(POST /v1/api/announce {"message":"服务器将在 1 分钟后重启"})");
  const size_t save = calls.find("POST /v1/api/save");
  const size_t shutdown =
      calls.find(R"(POST /v1/api/shutdown {"message":"服务器即将重启","waittime":10})");
  ASSERT_NE(notice, std::string::npos) << calls;
  EXPECT_EQ(calls.find("5 分钟后重启"), std::string::npos) << "it does not fit in two minutes";
  EXPECT_EQ(calls.find("分钟后重启", calls.find('\n', notice)), std::string::npos) << "once";
  ASSERT_NE(shutdown, std::string::npos) << calls;
  EXPECT_LT(notice, save) << calls << EventLog();
  EXPECT_LT(save, shutdown);
  EXPECT_EQ(Kills(), "");
  EXPECT_NE(EventLog().find("定时重启服务端"), std::string::npos) << EventLog();
}

TEST_F(ServerSchedule, ServerThatStopsAnsweringIsKilledAndRestartedAfterThreeMinutes) {
  Prepare({.apiPort = 18242, .crashRestart = true, .hangRestart = true});
  HWND window = OpenTool();
  ASSERT_NE(window, nullptr);
  StartAndWaitForTheApi(window);
  // The tool's own monitor must have had an answer before the silence counts.
  ASSERT_TRUE(WaitUntil([&] { return Lines(ApiCalls()) >= 3; }, std::chrono::seconds(30)));
  PutFlag("api-silent.flag");
  const ULONGLONG silentFrom = ::GetTickCount64();

  ASSERT_TRUE(WaitUntil([&] { return Launches() == 2; }, std::chrono::minutes(5))) << EventLog();
  EXPECT_GE(::GetTickCount64() - silentFrom, 170'000u);
  EXPECT_EQ(Lines(Kills()), 1);
  const std::string events = EventLog();
  EXPECT_NE(events.find("服务端超过 3 分钟没有响应, 按崩溃处理"), std::string::npos) << events;
  EXPECT_NE(events.find("无响应后自动重启服务端"), std::string::npos) << events;
}

}  // namespace
}  // namespace tidemoor::testing
