#include "install/workshop_download.h"

#include <gtest/gtest.h>

namespace tidemoor {
namespace {

TEST(WorkshopDownload, SteamCmdsOwnWordSaysWhyAnItemDidNotCome) {
  const struct {
    const char* output;
    uint32_t exitCode;
    bool arrived;
    bool ok;
    const char* reason;
  } cases[] = {
      {"Downloading item 3456789012 ...\r\nSuccess. Downloaded item 3456789012 to "
       "\"C:\\t\\steamapps\\workshop\\content\\1623730\\3456789012\" (52 bytes)\r\n",
       0, true, true, ""},
      {"Downloading item 1 ...\r\nERROR! Download item 1 failed (Access Denied).\r\n", 0, false,
       false, "Access Denied"},
      {"error! Download item 1 failed (Failure).\nERROR! Download item 1 failed (Timeout).\n", 5,
       false, false, "Timeout"},
      {"ERROR! Not logged on.\r\n", 7, false, false, "ERROR! Not logged on."},
      // Steam said yes, but what came is no mod for the server.
      {"Success. Downloaded item 1 to \"x\" (9 bytes)\r\n", 0, false, false,
       "下载的内容中没有 Info.json"},
      {"", 8, false, false, "SteamCMD 退出代码 8"},
  };
  for (const auto& c : cases) {
    const WorkshopDownloadVerdict verdict = JudgeWorkshopDownload(c.output, c.exitCode, c.arrived);
    EXPECT_EQ(verdict.ok, c.ok) << c.output;
    EXPECT_EQ(verdict.reason, c.reason) << c.output;
  }
  EXPECT_EQ(WorkshopDownloadArguments("42"),
            " +login anonymous +workshop_download_item 1623730 42 +quit");
}

}  // namespace
}  // namespace tidemoor
