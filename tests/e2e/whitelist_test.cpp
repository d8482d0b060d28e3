// Who may play, against the fixture server: with only 小明 on the whitelist, ticking the switch
// asks about Ann, and the tool's own poll kicks her and logs it; the players file holds both
// players with Ann's session ended; the page 白名单 shows the list and adds to the file, 封禁列表
// reads the server's ban file and unbans through the API, 玩家记录 finds a player and lists her.

#include "e2e/lifecycle_rig.h"
#include "server/ban_list_page_win.h"
#include "server/player_records_page_win.h"
#include "server/players_window_win.h"
#include "server/whitelist_page_win.h"

namespace tidemoor::testing {
namespace {

using W = WhitelistControl;

constexpr char kWhitelist[] = "PaLWorld_Data\\Whitelist.txt";
constexpr char kAnnKick[] =
    R"(POST /v1/api/kick {"message":" 你不在本服务器的白名单中 ","userid":"steam_76561198000000002"})";

class Whitelisting : public LifecycleRig {
 protected:
  static int Id(W control) { return static_cast<int>(control); }
  using LifecycleRig::Id;

  // The players file's line of the userId, split at its tabs (the names used before follow the
  // sixth); empty when there is none.
  std::vector<std::string> PlayerLine(std::string_view userId) const {
    const std::string file = directory.ReadBytes("PaLWorld_Data\\Players.tsv");
    const size_t at = file.find(std::string(userId) + "\t");
    if (at == std::string::npos) return {};
    std::vector<std::string> fields(1);
    for (size_t i = at; i < file.size() && file[i] != '\r' && file[i] != '\n'; ++i) {
      if (file[i] == '\t') {
        fields.emplace_back();
      } else {
        fields.back() += file[i];
      }
    }
    return fields;
  }
};

TEST_F(Whitelisting, TickingItKicksTheUnlistedPlayerAndThePlayersFileKeepsBothSessions) {
  Prepare({.apiPort = 18256});
  directory.WriteBytes(kWhitelist, "steam_76561198000000001\t小明\r\n");
  HWND window = OpenTool();
  ASSERT_NE(window, nullptr);
  StartAndWaitForTheApi(window);
  ASSERT_TRUE(WaitUntil(
      [&] {
        return PlayerLine("steam_76561198000000001").size() >= 6 &&
               PlayerLine("steam_76561198000000002").size() >= 6;
      },
      std::chrono::seconds(30)))
      << directory.ReadBytes("PaLWorld_Data\\Players.tsv");

  PressLabel(window, Id(MainControl::PlayersLabel));
  const HWND players = WaitForWindowOfProcess(tool->Id(), kPlayersWindowTitle);
  ASSERT_NE(players, nullptr);
  const HWND pages = ::GetDlgItem(players, static_cast<int>(PlayersControl::Pages));
  ::PostMessageW(pages, WM_KEYDOWN, VK_RIGHT, 0);
  const HWND list = ::GetDlgItem(players, Id(W::List));
  ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(list) && ListRowCount(list) == 1; }));
  EXPECT_EQ(ListCellText(list, 0, 0), "小明");
  EXPECT_EQ(ListCellText(list, 0, 1), "steam_76561198000000001");
  EXPECT_FALSE(IsControlChecked(players, Id(W::OnlyListedBox)));

  // Ann is online and not listed: No leaves her to the next check.
  ClickControl(players, Id(W::OnlyListedBox));
  std::optional<SeenMessageBox> question = WaitForMessageBox(tool->Id());
  ASSERT_TRUE(question);
  EXPECT_EQ(question->text, " 当前在线的 1 名玩家不在白名单中 - 是否将他们加入白名单? ");
  AnswerMessageBox(*question, IDNO);
  ASSERT_TRUE(WaitUntil([&] { return ApiCalls().find(kAnnKick) != std::string::npos; },
                        std::chrono::seconds(30)))
      << ApiCalls();
  EXPECT_EQ(ApiCalls().find("steam_76561198000000001\"}"), std::string::npos) << "小明 stays";
  EXPECT_TRUE(WaitUntil([&] {
    return EventLog().find("白名单: 已踢出 Ann 😀 (steam_76561198000000002)") != std::string::npos;
  })) << EventLog();
  EXPECT_NE(directory.ReadBytes("PaLWorld_Data\\PaLWorld_Tools.ini").find("Whitelist=1"),
            std::string::npos);

  // The next poll of the players finds Ann gone: her one session ends.
  EXPECT_TRUE(WaitUntil(
      [&] {
        const std::vector<std::string> ann = PlayerLine("steam_76561198000000002");
        return ann.size() >= 6 && ann[1] == "Ann 😀" && ann[4] == "1" && ann[3] >= ann[2] &&
               EventLog().find("玩家离开: Ann 😀") != std::string::npos;
      },
      std::chrono::seconds(45)))
      << directory.ReadBytes("PaLWorld_Data\\Players.tsv");
  const std::vector<std::string> ming = PlayerLine("steam_76561198000000001");
  ASSERT_GE(ming.size(), 6u);
  EXPECT_EQ(ming[1], "小明");
  EXPECT_EQ(ming[4], "1");
  EXPECT_TRUE(directory.ReadBytes("PaLWorld_Data\\Players.tsv").starts_with("userId\tname\t"));

  SelectListRow(list, 0);
  ClickControl(players, Id(W::RemoveButton));
  EXPECT_TRUE(WaitUntil([&] {
    return ControlText(players, Id(W::StatusText)) == " 白名单为空 - 请先添加玩家 ";
  })) << "the last player cannot go while the whitelist is on";
  SetControlText(players, Id(W::IdEdit), "  gdk_2535 ");
  ClickControl(players, Id(W::AddButton));
  EXPECT_TRUE(WaitUntil([&] { return ListRowCount(list) == 2; }));
  const std::string file = directory.ReadBytes(kWhitelist);
  EXPECT_TRUE(file.starts_with("steam_76561198000000001\t小明\r\ngdk_2535\t\t")) << file;

  // 封禁列表: the server's file with two ids run together, Ann named from the players file.
  directory.WriteBytes(kRigServerFile + std::string("Pal\\Saved\\SaveGames\\banlist.txt"),
                       "steam_76561198000000002steam_999\r\n");
  ::PostMessageW(pages, WM_KEYDOWN, VK_RIGHT, 0);
  const HWND bans = ::GetDlgItem(players, static_cast<int>(BanListControl::List));
  ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(bans) && ListRowCount(bans) == 2; }));
  EXPECT_EQ(ListCellText(bans, 0, 0), "steam_76561198000000002");
  EXPECT_EQ(ListCellText(bans, 0, 1), "Ann 😀");
  EXPECT_EQ(ListCellText(bans, 1, 0), "steam_999");
  SelectListRow(bans, 0);
  ClickControl(players, static_cast<int>(BanListControl::UnbanButton));
  EXPECT_TRUE(WaitUntil([&] {
    return ApiCalls().find(R"(POST /v1/api/unban {"userid":"steam_76561198000000002"})") !=
           std::string::npos;
  })) << ApiCalls();

  // 玩家记录: both players, found by a part of a name, and one goes to the whitelist.
  ::PostMessageW(pages, WM_KEYDOWN, VK_RIGHT, 0);
  const HWND records = ::GetDlgItem(players, static_cast<int>(RecordsControl::List));
  ASSERT_TRUE(WaitUntil([&] { return ::IsWindowVisible(records) && ListRowCount(records) == 2; }));
  SetControlText(players, static_cast<int>(RecordsControl::SearchEdit), "ANN");
  ASSERT_TRUE(WaitUntil([&] { return ListRowCount(records) == 1; }));
  EXPECT_EQ(ListCellText(records, 0, 1), "steam_76561198000000002");
  EXPECT_EQ(ListCellText(records, 0, 4), "1");
  SelectListRow(records, 0);
  ClickControl(players, static_cast<int>(RecordsControl::AddToWhitelistButton));
  EXPECT_TRUE(WaitUntil([&] {
    return directory.ReadBytes(kWhitelist).find("steam_76561198000000002\tAnn 😀\t") !=
           std::string::npos;
  })) << directory.ReadBytes(kWhitelist);
}

}  // namespace
}  // namespace tidemoor::testing
