// The memory guard against the fixture server: a limit far below what its worker uses, checked
// every second instead of every minute, so the three checks and the countdown take seconds. The
// restart must go through the safe stop: save, shutdown with the restart's message, no kill.

#include "e2e/lifecycle_rig.h"

namespace tidemoor::testing {
namespace {

struct MemoryCase {
  const char* name;
  int apiPort;
  bool nobodyOnline;
  std::vector<std::string> announced;  // in order, before the save
};

void PrintTo(const MemoryCase& row, std::ostream* out) {
  *out << row.name;
}

class MemoryRestart : public LifecycleRig, public ::testing::WithParamInterface<MemoryCase> {};

TEST_P(MemoryRestart, AboveTheLimitThreeChecksInARowRestartsThroughTheSafeStop) {
  const MemoryCase& row = GetParam();
  Prepare({.apiPort = row.apiPort, .memoryRestartGb = "0.001"});
  if (row.nobodyOnline) PutFlag("nobody-online.flag");
  HWND window = OpenTool("memory-check-ms=1000");
  ASSERT_NE(window, nullptr);
  StartAndWaitForTheApi(window);
  ASSERT_TRUE(WaitUntil([&] { return Launches() == 2; }, std::chrono::seconds(90)))
      << EventLog() << ApiCalls();
  const std::string calls = ApiCalls();
  const size_t save = calls.find("POST /v1/api/save");
  const size_t shutdown =
      calls.find(R"(POST /v1/api/shutdown {"message":"服务器即将重启","waittime":10})");
  ASSERT_NE(save, std::string::npos) << calls << EventLog();
  ASSERT_NE(shutdown, std::string::npos) << calls;
  EXPECT_LT(save, shutdown);
  size_t after = 0;
  for (const std::string& notice : row.announced) {
    const size_t at = calls.find(R"(POST /v1/api/announce {"message":")" + notice + R"("})", after);
    ASSERT_NE(at, std::string::npos) << notice << "\n" << calls;
    EXPECT_LT(at, save) << notice;
    after = at + 1;
  }
  if (row.announced.empty()) {
    EXPECT_EQ(calls.substr(0, shutdown).find("/v1/api/announce"), std::string::npos) << calls;
  }
  EXPECT_EQ(Kills(), "");
  const std::string events = EventLog();
  EXPECT_NE(events.find("内存占用过高, 重启服务端"), std::string::npos) << events;
  EXPECT_NE(events.find("已安全关闭服务端"), std::string::npos) << events;
}

INSTANTIATE_TEST_SUITE_P(PlayersOrNot, MemoryRestart,
                         ::testing::Values(MemoryCase{"NobodyOnlineAtOnce", 18290, true, {}},
                                           MemoryCase{"PlayersToldAtFiveAndOneMinutes",
                                                      18291,
                                                      false,
                                                      {"服务器内存占用过高，将在 5 分钟后重启",
                                                       "服务器内存占用过高，将在 1 分钟后重启"}}),
                         [](const ::testing::TestParamInfo<MemoryCase>& info) {
                           return info.param.name;
                         });

}  // namespace
}  // namespace tidemoor::testing
