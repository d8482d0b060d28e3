#include "server/players_window_win.h"

#include <commctrl.h>

#include <array>

#include "platform/codepage_win.h"
#include "platform/list_cell_win.h"
#include "platform/text_input_win.h"

namespace tidemoor {
namespace {

using Id = PlayersControl;

constexpr UINT kRefreshMilliseconds = 5000;

// The page of online players, below the tabs; the tab strip itself is the window's.
const std::array<ControlDefinition, 14> kControls = {{
    {ControlNumber(Id::Group), ControlKind::GroupBox, "在线玩家", 16, 40, 612, 266},
    {ControlNumber(Id::List), ControlKind::ReportList, "", 24, 58, 596, 210, kBordered},
    {ControlNumber(Id::ConnectionLine), ControlKind::Label, "", 24, 276, 420, 20, kEndEllipsis},
    {ControlNumber(Id::GameDataBox), ControlKind::CheckBox, "启用游戏数据接口", 450, 274, 170, 24},
    {ControlNumber(Id::ReasonLabel), ControlKind::Label, "原因 (可选)", 16, 318, 70, 20},
    {ControlNumber(Id::ReasonEdit), ControlKind::Edit, "", 88, 314, 236, 24},
    {ControlNumber(Id::KickButton), ControlKind::Button, "踢出", 330, 313, 64, 26},
    {ControlNumber(Id::BanButton), ControlKind::Button, "封禁", 400, 313, 64, 26},
    {ControlNumber(Id::UnbanButton), ControlKind::Button, "解封", 470, 313, 64, 26},
    {ControlNumber(Id::SaveButton), ControlKind::Button, "立即存档", 540, 313, 88, 26},
    {ControlNumber(Id::AnnounceLabel), ControlKind::Label, "公告", 16, 354, 70, 20},
    {ControlNumber(Id::AnnounceEdit), ControlKind::Edit, "", 88, 350, 446, 24},
    {ControlNumber(Id::AnnounceButton), ControlKind::Button, "发送公告", 540, 349, 88, 26},
    {ControlNumber(Id::StatusText), ControlKind::Label, "", 16, 382, 612, 22, kEndEllipsis},
}};

// The platform id is the one a host copies to unban a player: wide enough to show it whole.
// The last two hold the game data and are hidden (no width) without it.
constexpr int kGuildColumn = static_cast<int>(kPlayerColumns);
const std::array<ListColumn, kPlayerColumns + 2> kColumns = {{{"名字", 120},
                                                              {"等级", 40},
                                                              {"Ping", 40},
                                                              {"玩家ID", 80},
                                                              {"平台ID (userId)", 170},
                                                              {"IP", 96},
                                                              {"公会", 90},
                                                              {"坐标", 100}}};

const std::array<ControlDefinition, 1> kPageTabs = {{
    {ControlNumber(Id::Pages), ControlKind::TabStrip, "", 8, 8, 628, 404},
}};
constexpr std::array<const char*, 5> kPageNames = {"在线玩家", kWhitelistTitle, kBanListTitle,
                                                   kPlayerRecordsTitle, kGuildsTitle};

constexpr std::array<Id, 5> kActionButtons = {Id::KickButton, Id::BanButton, Id::UnbanButton,
                                              Id::SaveButton, Id::AnnounceButton};

}  // namespace

HWND PlayersWindow::Open(PlayersWindowSetup setup) {
  if (BringForwardIfOpen()) return window_;
  if (!admin_) {
    setup_ = std::move(setup);
    admin_.emplace(PlayerAdminWorld{*this, api_, *setup_.prompt, *setup_.log, setup_.access});
    setup_.whitelist.online = [this] { return admin_->Players(); };
    setup_.whitelist.selectedOnline = [this] { return admin_->SelectedPlayer(); };
    setup_.banList.serverRunning = [this] { return setup_.access().serverRunning; };
    setup_.banList.unban = [this](const std::string& userId, const std::string& name) {
      admin_->UnbanPlayer(userId, name);
    };
    setup_.guilds.changed = [this] { ShowGameColumns(); };
    setup_.guilds.tell = [this](std::string_view text) { ShowStatus(text); };
    setup_.records.addToWhitelist = [this](const std::string& userId, const std::string& name) {
      return whitelist_.AddPlayer(userId, name);
    };
  }
  if (Make(setup_.owner, setup_.prompt)) OnTick();
  return window_;
}

void PlayersWindow::OnCreate(UINT dpi) {
  CreateControlsForDpi(window_, kPageTabs, dpi, tabsFont_);
  AddTabs(Control(Id::Pages), kPageNames);
  CreateControlsForDpi(window_, kControls, dpi, font_);
  AddListColumns(Control(Id::List), kColumns);
  ::SendMessageW(Control(Id::ReasonEdit), EM_SETLIMITTEXT, 200, 0);
  ::SendMessageW(Control(Id::AnnounceEdit), EM_SETLIMITTEXT, 500, 0);
  whitelist_.Create(window_, dpi, setup_.whitelist);
  banList_.Create(window_, dpi, setup_.banList);
  records_.Create(window_, dpi, setup_.records);
  guilds_.Create(window_, dpi, setup_.guilds);
  ::SendMessageW(Control(Id::GameDataBox), BM_SETCHECK,
                 setup_.guilds.on() ? BST_CHECKED : BST_UNCHECKED, 0);
  // The tabs lie under every page's controls.
  ::SetWindowPos(Control(Id::Pages), HWND_BOTTOM, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  PlaceControls(dpi);
  EnableActions(false);
  ::SetTimer(window_, static_cast<UINT_PTR>(Id::RefreshTimer), kRefreshMilliseconds, nullptr);
}

LRESULT PlayersWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      if (wParam == static_cast<UINT_PTR>(Id::RefreshTimer)) OnTick();
      return 0;
    case WM_COMMAND:
      if (whitelist_.OnCommand(LOWORD(wParam), HIWORD(wParam)) ||
          banList_.OnCommand(LOWORD(wParam), HIWORD(wParam)) ||
          records_.OnCommand(LOWORD(wParam), HIWORD(wParam))) {
        return 0;
      }
      if (HIWORD(wParam) == BN_CLICKED) OnButton(static_cast<Id>(LOWORD(wParam)));
      return 0;
    case WM_CTLCOLORSTATIC: {
      // Labels and boxes lie on the tabs' page, which is drawn in the window colour.
      const auto dc = reinterpret_cast<HDC>(wParam);
      ::SetBkMode(dc, TRANSPARENT);
      ::SetTextColor(dc, ::GetSysColor(COLOR_WINDOWTEXT));
      return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_WINDOW));
    }
    case WM_NOTIFY: {
      const auto* header = reinterpret_cast<const NMHDR*>(lParam);
      if (header->idFrom == static_cast<UINT_PTR>(Id::Pages) && header->code == TCN_SELCHANGE) {
        ShowPage(TabCtrl_GetCurSel(header->hwndFrom));
      }
      if (records_.OnNotify(*header)) return 0;
      return DefaultHandling(message, wParam, lParam);
    }
    case WM_DESTROY:
      ::KillTimer(window_, static_cast<UINT_PTR>(Id::RefreshTimer));
      admin_->Forget();
      guilds_.Forget();
      return 0;
  }
  return DefaultHandling(message, wParam, lParam);
}

void PlayersWindow::PlaceControls(UINT dpi) {
  PlaceControlsForDpi(window_, kPageTabs, dpi, tabsFont_);
  PlaceControlsForDpi(window_, kControls, dpi, font_);
  whitelist_.Place(dpi);
  banList_.Place(dpi);
  records_.Place(dpi);
  guilds_.Place(dpi);
  dpi_ = dpi;
  ShowGameColumns();
  SizeListColumns(Control(Id::List), kColumns, dpi);
}

void PlayersWindow::OnTick() {
  admin_->Refresh();
  whitelist_.RefreshSwitch();
  if (banList_.Shown()) banList_.Refresh();
  guilds_.Tick(api_, setup_.access());
}

void PlayersWindow::ShowGameColumns() {
  if (!window_) return;
  const HWND list = Control(Id::List);
  const GameData* data = guilds_.Latest();
  for (int column = kGuildColumn; column < kGuildColumn + 2; ++column) {
    ListView_SetColumnWidth(list, column, data ? ScaleForDpi(kColumns[column].width, dpi_) : 0);
  }
  if (!data) return;
  const std::vector<PlayerInfo>& players = admin_->Players();
  for (int row = 0; row < static_cast<int>(players.size()); ++row) {
    const GameCells cells = GameCellsOf(*data, players[row].userId);
    SetListCell(list, row, kGuildColumn, cells.guild, false);
    SetListCell(list, row, kGuildColumn + 1, cells.place, false);
  }
}

void PlayersWindow::OnButton(Id id) {
  switch (id) {
    case Id::GameDataBox: {
      const bool on = ::SendMessageW(Control(Id::GameDataBox), BM_GETCHECK, 0, 0) == BST_CHECKED;
      setup_.setGameDataOn(on);
      ShowStatus(on ? "游戏数据接口将在下次开服时启用" : "游戏数据接口将在下次开服时关闭");
      break;
    }
    case Id::KickButton:
      admin_->Kick();
      break;
    case Id::BanButton:
      admin_->Ban();
      break;
    case Id::UnbanButton:
      admin_->Unban();
      break;
    case Id::SaveButton:
      admin_->SaveNow();
      break;
    case Id::AnnounceButton:
      admin_->Announce();
      break;
    default:
      break;
  }
}

void PlayersWindow::ShowPage(int page) {
  ShowControls(window_, kControls, page == 0);
  whitelist_.Show(page == 1);
  if (page == 1) whitelist_.Refresh();
  banList_.Show(page == 2);
  records_.Show(page == 3);
  guilds_.Show(page == 4);
}

void PlayersWindow::ShowPlayers(const std::vector<PlayerRow>& rows, int selectedRow) {
  if (!window_) return;
  const HWND list = Control(Id::List);
  ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  ListView_DeleteAllItems(list);
  for (int row = 0; row < static_cast<int>(rows.size()); ++row) {
    for (int column = 0; column < static_cast<int>(kPlayerColumns); ++column) {
      std::wstring text = Widen(rows[row][column]);
      LVITEMW item{};
      item.mask = LVIF_TEXT;
      item.iItem = row;
      item.iSubItem = column;
      item.pszText = text.data();
      ::SendMessageW(list, column == 0 ? LVM_INSERTITEMW : LVM_SETITEMTEXTW, row,
                     reinterpret_cast<LPARAM>(&item));
    }
  }
  if (selectedRow >= 0) {
    ListView_SetItemState(list, selectedRow, LVIS_SELECTED | LVIS_FOCUSED,
                          LVIS_SELECTED | LVIS_FOCUSED);
  }
  ShowGameColumns();
  ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  ::InvalidateRect(list, nullptr, TRUE);
}

void PlayersWindow::ShowConnectionLine(std::string_view line) {
  if (window_) SetWindowTextUtf8(Control(Id::ConnectionLine), line);
}

void PlayersWindow::EnableActions(bool enabled) {
  if (!window_) return;
  for (const Id id : kActionButtons) ::EnableWindow(Control(id), enabled);
}

void PlayersWindow::ShowStatus(std::string_view text) {
  if (!window_) return;
  SetWindowTextUtf8(Control(Id::StatusText), text);
  banList_.ShowStatus(text);  // an unban from the ban list tells its outcome there too
}

int PlayersWindow::SelectedRow() const {
  if (!window_) return -1;
  return ListView_GetNextItem(Control(Id::List), -1, LVNI_SELECTED);
}

std::string PlayersWindow::Reason() const {
  return window_ ? WindowText(Control(Id::ReasonEdit)) : std::string();
}

std::string PlayersWindow::Announcement() const {
  return window_ ? WindowText(Control(Id::AnnounceEdit)) : std::string();
}

std::optional<std::string> PlayersWindow::AskUserId() {
  if (!window_) return std::nullopt;
  return AskForText(window_, kUnbanTitle, "要解封的玩家的平台ID (userId):");
}

}  // namespace tidemoor
