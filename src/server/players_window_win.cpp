#include "server/players_window_win.h"

#include <commctrl.h>

#include <array>

#include "platform/codepage_win.h"
#include "platform/text_input_win.h"

namespace tidemoor {
namespace {

using Id = PlayersControl;

constexpr UINT kRefreshMilliseconds = 5000;

const std::array<ControlDefinition, 13> kControls = {{
    {ControlNumber(Id::Group), ControlKind::GroupBox, "在线玩家", 8, 8, 628, 262},
    {ControlNumber(Id::List), ControlKind::ReportList, "", 16, 26, 612, 206, kBordered},
    {ControlNumber(Id::ConnectionLine), ControlKind::Label, "", 16, 240, 612, 20, kEndEllipsis},
    {ControlNumber(Id::ReasonLabel), ControlKind::Label, "原因 (可选)", 8, 282, 76, 20},
    {ControlNumber(Id::ReasonEdit), ControlKind::Edit, "", 86, 278, 250, 24},
    {ControlNumber(Id::KickButton), ControlKind::Button, "踢出", 344, 277, 64, 26},
    {ControlNumber(Id::BanButton), ControlKind::Button, "封禁", 414, 277, 64, 26},
    {ControlNumber(Id::UnbanButton), ControlKind::Button, "解封", 484, 277, 64, 26},
    {ControlNumber(Id::SaveButton), ControlKind::Button, "立即存档", 554, 277, 82, 26},
    {ControlNumber(Id::AnnounceLabel), ControlKind::Label, "公告", 8, 318, 76, 20},
    {ControlNumber(Id::AnnounceEdit), ControlKind::Edit, "", 86, 314, 462, 24},
    {ControlNumber(Id::AnnounceButton), ControlKind::Button, "发送公告", 554, 313, 82, 26},
    {ControlNumber(Id::StatusText), ControlKind::Label, "", 8, 350, 628, 22, kEndEllipsis},
}};

// The platform id is the one a host copies to unban a player: wide enough to show it whole.
const std::array<ListColumn, kPlayerColumns> kColumns = {{{"名字", 140},
                                                          {"等级", 44},
                                                          {"Ping", 44},
                                                          {"玩家ID", 96},
                                                          {"平台ID (userId)", 190},
                                                          {"IP", 96}}};

constexpr std::array<Id, 5> kActionButtons = {Id::KickButton, Id::BanButton, Id::UnbanButton,
                                              Id::SaveButton, Id::AnnounceButton};

}  // namespace

HWND PlayersWindow::Open(PlayersWindowSetup setup) {
  if (BringForwardIfOpen()) return window_;
  if (!admin_) {
    setup_ = std::move(setup);
    admin_.emplace(PlayerAdminWorld{*this, api_, *setup_.prompt, *setup_.log, setup_.access});
  }
  if (Make(setup_.owner, setup_.prompt)) admin_->Refresh();
  return window_;
}

void PlayersWindow::OnCreate(UINT dpi) {
  CreateControlsForDpi(window_, kControls, dpi, font_);
  AddListColumns(Control(Id::List), kColumns);
  ::SendMessageW(Control(Id::ReasonEdit), EM_SETLIMITTEXT, 200, 0);
  ::SendMessageW(Control(Id::AnnounceEdit), EM_SETLIMITTEXT, 500, 0);
  PlaceControls(dpi);
  EnableActions(false);
  ::SetTimer(window_, static_cast<UINT_PTR>(Id::RefreshTimer), kRefreshMilliseconds, nullptr);
}

LRESULT PlayersWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      if (wParam == static_cast<UINT_PTR>(Id::RefreshTimer)) admin_->Refresh();
      return 0;
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED) OnButton(static_cast<Id>(LOWORD(wParam)));
      return 0;
    case WM_DESTROY:
      ::KillTimer(window_, static_cast<UINT_PTR>(Id::RefreshTimer));
      admin_->Forget();
      return 0;
  }
  return DefaultHandling(message, wParam, lParam);
}

void PlayersWindow::PlaceControls(UINT dpi) {
  PlaceControlsForDpi(window_, kControls, dpi, font_);
  SizeListColumns(Control(Id::List), kColumns, dpi);
}

void PlayersWindow::OnButton(Id id) {
  switch (id) {
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
  if (window_) SetWindowTextUtf8(Control(Id::StatusText), text);
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
