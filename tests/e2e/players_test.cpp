// The players window and the live status line against the fixture server's REST API: the list,
// a kick with its question, a broadcast and a save as the server receives them, and the one line
// that says why there is no list.

#include "e2e/lifecycle_rig.h"
#include "platform/text_input_win.h"
#include "server/player_admin.h"
#include "server/players_window_win.h"

namespace tidemoor::testing {
namespace {

using P = PlayersControl;

constexpr char kAnn[] = "steam_76561198000000002";

class Players : public LifecycleRig {
 protected:
  HWND OpenPlayersWindow(HWND main) {
    PressLabel(main, Id(MainControl::PlayersLabel));
    const HWND players = WaitForWindowOfProcess(tool->Id(), kPlayersWindowTitle);
    EXPECT_NE(players, nullptr);
    return players;
  }
  static int Id(P control) { return static_cast<int>(control); }
  using LifecycleRig::Id;
  static HWND Control(HWND players, P control) { return ::GetDlgItem(players, Id(control)); }
  static bool ActionsEnabled(HWND players) {
    for (const P button :
         {P::KickButton, P::BanButton, P::UnbanButton, P::SaveButton, P::AnnounceButton}) {
      if (!::IsWindowEnabled(Control(players, button))) return false;
    }
    return true;
  }
  static bool ActionsDisabled(HWND players) {
    for (const P button :
         {P::KickButton, P::BanButton, P::UnbanButton, P::SaveButton, P::AnnounceButton}) {
      if (::IsWindowEnabled(Control(players, button))) return false;
    }
    return true;
  }
  static std::string Line(HWND players) { return ControlText(players, Id(P::ConnectionLine)); }
  static int Occurrences(const std::string& text, std::string_view part) {
    int count = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
      ++count;
    }
    return count;
  }
  int WindowsTitled(std::string_view title) const {
    struct Search {
      DWORD processId;
      std::wstring title;
      int count;
    } search{tool->Id(), Widen(title), 0};
    ::EnumWindows(
        [](HWND candidate, LPARAM parameter) -> BOOL {
          auto* found = reinterpret_cast<Search*>(parameter);
          DWORD owner = 0;
          ::GetWindowThreadProcessId(candidate, &owner);
          wchar_t text[256] = {};
          ::GetWindowTextW(candidate, text, 256);
          if (owner == found->processId && ::IsWindowVisible(candidate) && found->title == text) {
            ++found->count;
          }
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.count;
  }
  bool Called(std::string_view call) const { return ApiCalls().find(call) != std::string::npos; }
};

TEST_F(Players, ListShowsBothPlayersOnceTheServerRunsThenAKickAsksAndSendsTheUserId) {
  Prepare({.apiPort = 18250});
  HWND window = OpenTool();
  ASSERT_NE(window, nullptr);
  HWND players = OpenPlayersWindow(window);
  ASSERT_NE(players, nullptr);
  EXPECT_TRUE(WaitUntil([&] { return Line(players).starts_with("服务端未运行"); }))
      << Line(players);
  EXPECT_TRUE(ActionsDisabled(players));
  EXPECT_EQ(ControlText(window, Id(MainControl::LiveStatusLine)), "");

  StartAndWaitForTheApi(window);
  const HWND list = Control(players, P::List);
  ASSERT_TRUE(WaitUntil([&] { return ListRowCount(list) == 2; }, std::chrono::seconds(20)))
      << Line(players);
  const char* first[] = {"小明", "41", "32", "A1B2", "steam_76561198000000001", "192.168.1.20"};
  for (int column = 0; column < 6; ++column) {
    EXPECT_EQ(ListCellText(list, 0, column), first[column]) << column;
  }
  EXPECT_EQ(ListCellText(list, 1, 0), "Ann 😀");
  EXPECT_EQ(ListCellText(list, 1, 4), kAnn);
  EXPECT_EQ(Line(players), "在线玩家 2 人");
  EXPECT_TRUE(ActionsEnabled(players));
  // The worker's memory follows; what the fixture uses is not known in advance.
  EXPECT_TRUE(WaitUntil(
      [&] {
        const std::string line = ControlText(window, Id(MainControl::LiveStatusLine));
        return line.starts_with("在线 2/32  ·  FPS 58  ·  已运行 5小时12分  ·  内存 ") &&
               (line.ends_with(" MB") || line.ends_with(" GB"));
      },
      std::chrono::seconds(45)))
      << ControlText(window, Id(MainControl::LiveStatusLine));
  EXPECT_TRUE(WaitUntil([&] {
    const std::string events = EventLog();
    return events.find("玩家加入: 小明 (steam_76561198000000001)") != std::string::npos &&
           events.find("玩家加入: Ann 😀 (steam_76561198000000002)") != std::string::npos;
  })) << EventLog();

  SelectListRow(list, 1);
  SetControlText(players, Id(P::ReasonEdit), "刷屏 \"spam\"");
  ClickControl(players, Id(P::KickButton));
  std::optional<SeenMessageBox> question = WaitForMessageBox(tool->Id());
  ASSERT_TRUE(question);
  EXPECT_NE(question->text.find("Ann 😀 (steam_76561198000000002)"), std::string::npos)
      << question->text;
  EXPECT_FALSE(Called("/v1/api/kick")) << "nothing is sent before the answer";
  AnswerMessageBox(*question, IDYES);
  EXPECT_TRUE(WaitUntil([&] {
    return Called(
        R"(POST /v1/api/kick {"message":"刷屏 \"spam\"","userid":"steam_76561198000000002"})");
  })) << ApiCalls();
  EXPECT_TRUE(WaitUntil([&] { return ListRowCount(list) == 1; }));
  EXPECT_EQ(ListCellText(list, 0, 0), "小明");
  EXPECT_NE(EventLog().find("踢出玩家 Ann 😀 (steam_76561198000000002), 原因: 刷屏 \"spam\""),
            std::string::npos)
      << EventLog();
  // The next poll of the live line finds her gone.
  EXPECT_TRUE(WaitUntil(
      [&] {
        return EventLog().find("玩家离开: Ann 😀 (steam_76561198000000002)") != std::string::npos;
      },
      std::chrono::seconds(45)))
      << EventLog();
}

TEST_F(Players, BroadcastAndSaveReachTheServerAsSent) {
  Prepare({.apiPort = 18251});
  HWND window = OpenTool();
  ASSERT_NE(window, nullptr);
  StartAndWaitForTheApi(window);
  HWND players = OpenPlayersWindow(window);
  ASSERT_NE(players, nullptr);
  ASSERT_TRUE(WaitUntil([&] { return ActionsEnabled(players); }, std::chrono::seconds(20)));

  ClickControl(players, Id(P::AnnounceButton));
  EXPECT_TRUE(
      WaitUntil([&] { return ControlText(players, Id(P::StatusText)) == " 公告内容不能为空 "; }));
  SetControlText(players, Id(P::AnnounceEdit), "今晚 \"八点\" 维护 C:\\saves 😀");
  ClickControl(players, Id(P::AnnounceButton));
  EXPECT_TRUE(WaitUntil([&] {
    return Called(R"(POST /v1/api/announce {"message":"今晚 \"八点\" 维护 C:\\saves 😀"})");
  })) << ApiCalls();
  EXPECT_EQ(Occurrences(ApiCalls(), "/v1/api/announce"), 1) << "the empty one was never sent";

  ClickControl(players, Id(P::SaveButton));
  EXPECT_TRUE(WaitUntil([&] { return ControlText(players, Id(P::StatusText)) == " 已存档 "; }));
  EXPECT_TRUE(Called("POST /v1/api/save"));
  const std::string events = EventLog();
  // The log shows the backslash doubled, so no typed text can pass for an escape.
  EXPECT_NE(events.find("发送公告: 今晚 \"八点\" 维护 C:\\\\saves 😀"), std::string::npos) << events;
  EXPECT_NE(events.find("立即存档"), std::string::npos) << events;

  ClickControl(players, Id(P::UnbanButton));
  std::optional<SeenMessageBox> ask = WaitForMessageBox(tool->Id());
  ASSERT_TRUE(ask);
  EXPECT_EQ(ask->title, kUnbanTitle);
  SetControlText(ask->window, kAskedTextId, " steam_76561198000000042 ");
  AnswerMessageBox(*ask, IDOK);
  EXPECT_TRUE(WaitUntil([&] {
    return Called(R"(POST /v1/api/unban {"userid":"steam_76561198000000042"})");
  })) << ApiCalls();
  EXPECT_TRUE(WaitUntil([&] {
    return EventLog().find("解封玩家 (steam_76561198000000042)") != std::string::npos;
  })) << EventLog();

  // A second press of the label opens no second window.
  PressLabel(window, Id(MainControl::PlayersLabel));
  EXPECT_FALSE(
      WaitUntil([&] { return WindowsTitled(kPlayersWindowTitle) > 1; }, std::chrono::seconds(2)));
  EXPECT_EQ(WindowsTitled(kPlayersWindowTitle), 1);

  // Once the server has stopped, the list goes and the window says why.
  StopWithYes(window);
  ASSERT_TRUE(WaitUntil([&] { return ShowsStopped(window); }, std::chrono::seconds(30)));
  EXPECT_TRUE(WaitUntil([&] { return Line(players).starts_with("服务端未运行"); }));
  EXPECT_EQ(ListRowCount(Control(players, P::List)), 0);
  EXPECT_TRUE(ActionsDisabled(players));
  EXPECT_TRUE(
      WaitUntil([&] { return ControlText(window, Id(MainControl::LiveStatusLine)).empty(); },
                std::chrono::seconds(15)));
}

TEST_F(Players, AWrongPasswordShowsThePasswordLineAndNoList) {
  Prepare({.apiPort = 18252, .safeStop = false});
  // The server's own file signs in with another password than the tool's: the file is
  // read-only, so the start cannot write the tool's password into it.
  directory.WriteBytes(kRigWorldSettings,
                       "[/Script/Pal.PalGameWorldSettings]\r\nOptionSettings=(RESTAPIEnabled=True,"
                       "RESTAPIPort=18252,AdminPassword=\"other\")\r\n");
  const std::wstring settingsFile = Widen(directory.File(kRigWorldSettings));
  ASSERT_TRUE(::SetFileAttributesW(settingsFile.c_str(), FILE_ATTRIBUTE_READONLY));
  struct Writable {
    const std::wstring& file;
    ~Writable() { ::SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_NORMAL); }
  } writableAfterwards{settingsFile};
  HWND window = OpenTool();
  ASSERT_NE(window, nullptr);
  ClickControl(window, Id(MainControl::StartButton));
  ASSERT_TRUE(WaitUntil([&] { return Launches() == 1; }, std::chrono::seconds(30)));
  HWND players = OpenPlayersWindow(window);
  ASSERT_NE(players, nullptr);
  EXPECT_TRUE(
      WaitUntil([&] { return Line(players).starts_with("REST API 拒绝了管理员密码 (HTTP 401)"); },
                std::chrono::seconds(20)))
      << Line(players);
  EXPECT_EQ(ListRowCount(Control(players, P::List)), 0);
  EXPECT_TRUE(ActionsDisabled(players));
  EXPECT_TRUE(Called("GET /v1/api/players"));
  EXPECT_EQ(ControlText(window, Id(MainControl::LiveStatusLine)), "");
}

// 启用游戏数据接口: the switch goes last on the server's command line, the online list gains
// 公会 and 坐标 from the game-data answer, and the page 公会 counts players and bases.
TEST_F(Players, GameDataAddsGuildAndPlaceColumnsAndTheGuildsPage) {
  Prepare({.apiPort = 18253, .extendedSettings = "GameData_Api=1\r\n"});
  HWND window = OpenTool();
  ASSERT_NE(window, nullptr);
  HWND players = OpenPlayersWindow(window);
  ASSERT_NE(players, nullptr);
  const HWND list = Control(players, P::List);
  EXPECT_EQ(ListView_GetColumnWidth(list, 6), 0) << "no 公会 column without an answer";
  EXPECT_TRUE(IsControlChecked(players, Id(P::GameDataBox)));
  StartAndWaitForTheApi(window);
  EXPECT_TRUE(ServerFile("PalServer-launches.txt").find("-enable-gamedata-api\r\n") !=
              std::string::npos)
      << ServerFile("PalServer-launches.txt");

  ASSERT_TRUE(
      WaitUntil([&] { return ListRowCount(list) == 2 && ListCellText(list, 0, 6) == "晨星"; },
                std::chrono::seconds(45)))
      << Line(players) << ControlText(players, Id(P::StatusText));
  EXPECT_GT(ListView_GetColumnWidth(list, 6), 0);
  EXPECT_EQ(ListCellText(list, 0, 7), "-1201, 350");
  EXPECT_EQ(ListCellText(list, 1, 6), "");
  EXPECT_EQ(ListCellText(list, 1, 7), "10, -21");
  EXPECT_TRUE(Called("GET /v1/api/game-data"));

  const HWND pages = Control(players, P::Pages);
  for (int page = 0; page < 4; ++page) ::PostMessageW(pages, WM_KEYDOWN, VK_RIGHT, 0);
  const HWND guilds = ::GetDlgItem(players, static_cast<int>(GuildsControl::List));
  ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(guilds) && ListRowCount(guilds) == 2; }));
  const char* rows[2][3] = {{"晨星", "1", "1"}, {"夜枭", "0", "1"}};
  for (int row = 0; row < 2; ++row) {
    for (int column = 0; column < 3; ++column) {
      EXPECT_EQ(ListCellText(guilds, row, column), rows[row][column]) << row << column;
    }
  }
  EXPECT_EQ(EventLog().find("192.168.1.20"), std::string::npos) << "no player's IP is logged";
}

}  // namespace
}  // namespace tidemoor::testing
