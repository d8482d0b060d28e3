#include "install/steamcmd_win.h"

#include <gtest/gtest.h>

#include <vector>

#include "platform/directories_win.h"
#include "install/update_scripts.h"
#include "net/local_http_server_win.h"
#include "support/e2e_win.h"
#include "support/zip_builder.h"

namespace tidemoor {
namespace {

using testing::LocalHttpServer;
using testing::MakeZip;
using testing::TempToolDirectory;

std::string FakeSteamCmd() {
  std::string bytes = "MZ";
  for (int i = 0; i < 200000; ++i) bytes += static_cast<char>((i * 7919) >> 5);
  return bytes;
}

TEST(UnpackSteamCmd, FindsTheProgramAmongOtherFiles) {
  const std::string program = FakeSteamCmd();
  EXPECT_EQ(UnpackSteamCmd(MakeZip({{"readme.txt", "hello"}, {"steamcmd.exe", program}})), program);
  EXPECT_EQ(UnpackSteamCmd(MakeZip({{"SteamCMD.exe", program, false}})), program);
  EXPECT_EQ(UnpackSteamCmd(MakeZip({{"bin/steamcmd.exe", program}})), std::nullopt);
}

TEST(UnpackSteamCmd, RejectsDamagedArchives) {
  const std::string archive = MakeZip({{"steamcmd.exe", FakeSteamCmd()}});
  std::string flipped = archive;
  flipped[1000] = static_cast<char>(flipped[1000] ^ 0x55);
  EXPECT_EQ(UnpackSteamCmd(flipped), std::nullopt);
  EXPECT_EQ(UnpackSteamCmd(archive.substr(0, archive.size() / 2)), std::nullopt);
  EXPECT_EQ(UnpackSteamCmd(archive.substr(0, archive.size() - 1)), std::nullopt);
  EXPECT_EQ(UnpackSteamCmd(""), std::nullopt);
  EXPECT_EQ(UnpackSteamCmd("<html>Access denied</html>"), std::nullopt);
}

class DeploySteamCmdTest : public ::testing::Test {
 protected:
  void SetUp() override { EnsureDirectory(paths.DataDir); }

  TempToolDirectory tool{"deploy"};
  ServerPaths paths = MakeServerPaths(tool.Path());
  LocalHttpServer server;
};

TEST_F(DeploySteamCmdTest, DownloadsAndUnpacksWhenMissing) {
  server.Serve("/steamcmd.zip", 200, MakeZip({{"steamcmd.exe", FakeSteamCmd()}}));
  EXPECT_EQ(DeploySteamCmd(paths, server.Url("/steamcmd.zip")), SteamCmdState::Ready);
  EXPECT_EQ(tool.ReadBytes("PaLWorld_Data\\Steamcmd.exe"), FakeSteamCmd());
  EXPECT_FALSE(tool.Exists("PaLWorld_Data\\Steamcmd.exe.partial"));
}

TEST_F(DeploySteamCmdTest, AFailedDownloadLeavesNoProgramBehind) {
  std::string corrupt = MakeZip({{"steamcmd.exe", FakeSteamCmd()}});
  corrupt[500] = static_cast<char>(corrupt[500] ^ 0x55);
  server.Serve("/corrupt.zip", 200, corrupt);
  server.Serve("/error.zip", 503, MakeZip({{"steamcmd.exe", FakeSteamCmd()}}));
  for (const char* path : {"/corrupt.zip", "/error.zip", "/missing.zip"}) {
    EXPECT_EQ(DeploySteamCmd(paths, server.Url(path)), SteamCmdState::DownloadFailed) << path;
    EXPECT_FALSE(tool.Exists("PaLWorld_Data\\Steamcmd.exe")) << path;
    EXPECT_FALSE(tool.Exists("PaLWorld_Data\\Steamcmd.exe.partial")) << path;
  }
  EXPECT_EQ(DeploySteamCmd(paths, LocalHttpServer::ClosedUrl("/steamcmd.zip")),
            SteamCmdState::DownloadFailed);
}

TEST_F(DeploySteamCmdTest, AnExistingProgramIsNeverTouched) {
  server.Serve("/steamcmd.zip", 200, MakeZip({{"steamcmd.exe", FakeSteamCmd()}}));
  for (const std::string& content : {std::string(), std::string("not a program\0\x01", 15)}) {
    tool.WriteBytes("PaLWorld_Data\\Steamcmd.exe", content);
    EXPECT_EQ(DeploySteamCmd(paths, server.Url("/steamcmd.zip")), SteamCmdState::Ready);
    EXPECT_EQ(tool.ReadBytes("PaLWorld_Data\\Steamcmd.exe"), content);
  }
  EXPECT_EQ(server.Hits("/steamcmd.zip"), 0);
}

}  // namespace
}  // namespace tidemoor
