// The questions about the world the server loads, asked by the real tool before a start.

#include <windows.h>

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "e2e/lifecycle_rig.h"
#include "platform/directory_listing_win.h"
#include "server/loaded_world.h"

namespace tidemoor::testing {
namespace {

constexpr char kWorldId[] = "0123456789ABCDEF0123456789ABCDEF";
constexpr char kMissingId[] = "FEDCBA9876543210FEDCBA9876543210";
constexpr char kGameUserSettings[] =
    "PaLWorld_Data\\steamapps\\common\\PalServer\\Pal\\Saved\\Config\\WindowsServer\\"
    "GameUserSettings.ini";
constexpr char kWorld[] =
    "PaLWorld_Data\\steamapps\\common\\PalServer\\Pal\\Saved\\SaveGames\\0\\"
    "0123456789ABCDEF0123456789ABCDEF\\";

std::string NamingWorld(std::string_view id) {
  return "[/Script/Pal.PalGameLocalSettings]\r\nDedicatedServerName=" + std::string(id) + "\r\n";
}

class LoadedWorldEndToEnd : public LifecycleRig {
 protected:
  // Presses start and returns the question it brings up.
  SeenMessageBox StartAndSeeQuestion(HWND window) {
    ClickControl(window, Id(MainControl::StartButton));
    std::optional<SeenMessageBox> question = WaitForMessageBox(tool->Id());
    EXPECT_TRUE(question);
    return question.value_or(SeenMessageBox{});
  }

  void Stop(HWND window) {
    StopWithYes(window);
    ASSERT_TRUE(WaitUntil([&] { return ShowsStopped(window) && !ServerRunning(); }));
  }

  std::vector<std::string> BackupPoints() const {
    std::vector<std::string> points;
    ListDirectories(directory.File("PaLWorld_Saved_Backups"), points, false);
    return points;
  }
};

// A world named but missing is told with the worlds there are, and No starts nothing. For a world
// with its own WorldOption.sav, Yes makes a point of the world as it was and only then renames the
// file beside an older renamed copy, which stays as it is; No starts with the file in place and
// is remembered by the next run of the tool.
TEST_F(LoadedWorldEndToEnd, TheToolAsksAboutTheWorldTheServerLoadsBeforeAStart) {
  Prepare({.apiPort = 18270, .safeStop = false});
  const auto inWorld = [](const char* file) { return kWorld + std::string(file); };
  directory.WriteBytes(kGameUserSettings, NamingWorld(kMissingId));
  directory.WriteBytes(inWorld("Level.sav"), "level");
  directory.WriteBytes(inWorld("WorldOption.sav"), "options");
  directory.WriteBytes(inWorld("WorldOption.sav.disabled"), "older");
  HWND window = OpenTool();
  ASSERT_NE(window, nullptr);
  SeenMessageBox question = StartAndSeeQuestion(window);
  EXPECT_EQ(question.text, MissingWorldQuestion(kMissingId, {kWorldId}));
  AnswerMessageBox(question, IDNO);

  // A server launched after that No would turn this press into the stop question.
  directory.WriteBytes(kGameUserSettings, NamingWorld(kWorldId));
  question = StartAndSeeQuestion(window);
  EXPECT_EQ(question.text, kWorldOptionQuestion);
  EXPECT_EQ(question.title, " Quiz");
  EXPECT_EQ(Launches(), 0);
  AnswerMessageBox(question, IDYES);
  ASSERT_TRUE(WaitUntil([&] { return Launches() == 1; }, std::chrono::seconds(40))) << EventLog();
  EXPECT_FALSE(directory.Exists(inWorld("WorldOption.sav")));
  EXPECT_EQ(directory.ReadBytes(inWorld("WorldOption.sav.disabled.2")), "options");
  EXPECT_EQ(directory.ReadBytes(inWorld("WorldOption.sav.disabled")), "older");
  const std::vector<std::string> points = BackupPoints();
  ASSERT_EQ(points.size(), 1u);
  EXPECT_EQ(directory.ReadBytes("PaLWorld_Saved_Backups\\" + points[0] + "\\Saved\\SaveGames\\0\\" +
                                kWorldId + "\\WorldOption.sav"),
            "options");
  Stop(window);

  directory.WriteBytes(inWorld("WorldOption.sav"), "options again");
  AnswerMessageBox(StartAndSeeQuestion(window), IDNO);
  ASSERT_TRUE(WaitUntil([&] { return Launches() == 2; }, std::chrono::seconds(30)));
  EXPECT_EQ(directory.ReadBytes(inWorld("WorldOption.sav")), "options again");
  EXPECT_EQ(BackupPoints(), points);
  Stop(window);
  CloseToolWindow(window);
  ASSERT_TRUE(tool->WaitForExit());
  EXPECT_NE(directory.ReadBytes("PaLWorld_Data\\PaLWorld_Tools.ini")
                .find("WorldOption_Kept=" + std::string(kWorldId) + "\r\n"),
            std::string::npos);

  window = OpenTool();
  ASSERT_NE(window, nullptr);
  ClickControl(window, Id(MainControl::StartButton));  // a question would hold the launch back
  ASSERT_TRUE(WaitUntil([&] { return Launches() == 3; }, std::chrono::seconds(30)));
}

}  // namespace
}  // namespace tidemoor::testing
