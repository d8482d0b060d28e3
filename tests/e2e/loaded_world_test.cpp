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
  void PrepareWorld(int apiPort, std::string_view gameUserSettings) {
    Prepare({.apiPort = apiPort, .safeStop = false});
    directory.WriteBytes(kGameUserSettings, gameUserSettings);
    directory.WriteBytes(kWorld + std::string("Level.sav"), "level");
    directory.WriteBytes(kWorld + std::string("WorldOption.sav"), "options");
  }

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

// Yes: a backup point of the world as it was, then the rename beside an older renamed copy,
// which stays as it is; the server starts.
TEST_F(LoadedWorldEndToEnd, YesMakesAPointThenRenamesWorldOption) {
  PrepareWorld(18270, NamingWorld(kWorldId));
  directory.WriteBytes(kWorld + std::string("WorldOption.sav.disabled"), "older");
  HWND window = OpenTool();
  ASSERT_NE(window, nullptr);

  const SeenMessageBox question = StartAndSeeQuestion(window);
  EXPECT_EQ(question.text, kWorldOptionQuestion);
  EXPECT_EQ(question.title, " Quiz");
  AnswerMessageBox(question, IDYES);
  ASSERT_TRUE(WaitUntil([&] { return Launches() == 1; }, std::chrono::seconds(40)));

  EXPECT_FALSE(directory.Exists(kWorld + std::string("WorldOption.sav")));
  EXPECT_EQ(directory.ReadBytes(kWorld + std::string("WorldOption.sav.disabled.2")), "options");
  EXPECT_EQ(directory.ReadBytes(kWorld + std::string("WorldOption.sav.disabled")), "older");
  const std::vector<std::string> points = BackupPoints();
  ASSERT_EQ(points.size(), 1u);
  EXPECT_EQ(directory.ReadBytes("PaLWorld_Saved_Backups\\" + points[0] + "\\Saved\\SaveGames\\0\\" +
                                kWorldId + "\\WorldOption.sav"),
            "options");
}

// No: the server starts with the file in place and the next run of the tool does not ask again.
// A world named but missing is told with the worlds that exist, and No there starts nothing.
TEST_F(LoadedWorldEndToEnd, NoIsRememberedAndAMissingWorldIsTold) {
  PrepareWorld(18271, NamingWorld(kWorldId));
  HWND window = OpenTool();
  ASSERT_NE(window, nullptr);
  AnswerMessageBox(StartAndSeeQuestion(window), IDNO);
  ASSERT_TRUE(WaitUntil([&] { return Launches() == 1; }, std::chrono::seconds(30)));
  EXPECT_EQ(directory.ReadBytes(kWorld + std::string("WorldOption.sav")), "options");
  EXPECT_TRUE(BackupPoints().empty());
  Stop(window);
  CloseToolWindow(window);
  ASSERT_TRUE(tool->WaitForExit());
  EXPECT_NE(directory.ReadBytes("PaLWorld_Data\\PaLWorld_Tools.ini")
                .find("WorldOption_Kept=" + std::string(kWorldId) + "\r\n"),
            std::string::npos);

  window = OpenTool();
  ASSERT_NE(window, nullptr);
  ClickControl(window, Id(MainControl::StartButton));  // a question would hold the launch back
  ASSERT_TRUE(WaitUntil([&] { return Launches() == 2; }, std::chrono::seconds(30)));
  Stop(window);

  directory.WriteBytes(kGameUserSettings, NamingWorld(kMissingId));
  const SeenMessageBox question = StartAndSeeQuestion(window);
  // The fixture server made the world "World" at its first start.
  EXPECT_EQ(question.text, MissingWorldQuestion(kMissingId, {kWorldId, "World"}));
  AnswerMessageBox(question, IDNO);
  // Asked again only once the first start was called off: a server launched meanwhile would turn
  // the press into the stop question.
  const SeenMessageBox again = StartAndSeeQuestion(window);
  EXPECT_EQ(again.text, question.text);
  AnswerMessageBox(again, IDNO);
  EXPECT_EQ(Launches(), 2);
}

}  // namespace
}  // namespace tidemoor::testing
