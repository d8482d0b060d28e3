#include "server/ban_list_page_win.h"

#include <commctrl.h>

#include <array>

#include "platform/codepage_win.h"
#include "platform/list_cell_win.h"
#include "platform/text.h"
#include "platform/whole_file_win.h"

namespace tidemoor {
namespace {

using Id = BanListControl;

// Below the tabs of the players window.
const std::array<ControlDefinition, 4> kControls = {{
    {ControlNumber(Id::List), ControlKind::ReportList, "", 16, 44, 612, 290, kBordered},
    {ControlNumber(Id::UnbanButton), ControlKind::Button, "解封", 16, 344, 120, 26},
    {ControlNumber(Id::RefreshButton), ControlKind::Button, "刷新", 142, 344, 70, 26},
    {ControlNumber(Id::StatusText), ControlKind::Label, "", 220, 346, 408, 22, kEndEllipsis},
}};

const std::array<ListColumn, 3> kColumns = {
    {{"玩家ID (userId)", 240}, {"名字", 170}, {"封禁时间 (由本工具封禁)", 180}}};

// The event log is capped at 1 MiB a file; a ban file or players file beyond this is no file of
// the server's or the tool's.
constexpr size_t kMostBytes = 16u << 20;

}  // namespace

BanListPage::BanListPage() : page_(kControls, ControlNumber(Id::List), kColumns) {}

void BanListPage::Create(HWND parent, UINT dpi, BanListPageSetup setup) {
  setup_ = std::move(setup);
  page_.Make(parent, dpi);
}

void BanListPage::Place(UINT dpi) {
  page_.Place(dpi);
}

void BanListPage::Show(bool shown) {
  shown_ = shown;
  page_.Show(shown);
  if (shown) Refresh();
}

HWND BanListPage::Control(Id id) const {
  return page_.Control(ControlNumber(id));
}

bool BanListPage::OnCommand(int id, int code) {
  if (id < ControlNumber(Id::List) || id > ControlNumber(Id::StatusText)) return false;
  if (code != BN_CLICKED) return true;
  if (id == ControlNumber(Id::UnbanButton)) Unban();
  if (id == ControlNumber(Id::RefreshButton)) Refresh();
  return true;
}

void BanListPage::Refresh() {
  if (!page_.Made()) return;
  const bool running = setup_.serverRunning();
  SetWindowTextUtf8(Control(Id::UnbanButton), running ? "解封" : kUnbanNeedsServer);
  ::EnableWindow(Control(Id::UnbanButton), running);
  if (reading_) return;
  reading_ = true;
  reader_.Run<std::vector<BannedPlayer>>(
      [setup = setup_] {
        std::string log;
        for (const std::string& file : setup.eventLogs)
          log += ReadWholeFile(file, kMostBytes).bytes;
        return BannedPlayers(ReadWholeFile(setup.banFile, kMostBytes).bytes,
                             ReadWholeFile(setup.playersFile, kMostBytes).bytes, log);
      },
      [this](std::vector<BannedPlayer> rows) {
        reading_ = false;
        ShowRows(std::move(rows));
      });
}

void BanListPage::ShowRows(std::vector<BannedPlayer> rows) {
  const HWND list = Control(Id::List);
  const int selected = ListView_GetNextItem(list, -1, LVNI_SELECTED);
  const std::string selectedId =
      selected >= 0 && selected < static_cast<int>(rows_.size()) ? rows_[selected].userId : "";
  rows_ = std::move(rows);
  ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  ListView_DeleteAllItems(list);
  for (int row = 0; row < static_cast<int>(rows_.size()); ++row) {
    SetListCell(list, row, 0, EscapeControlCharacters(rows_[row].userId), true);
    SetListCell(list, row, 1, EscapeControlCharacters(rows_[row].name), false);
    SetListCell(list, row, 2, rows_[row].bannedAt, false);
    if (rows_[row].userId == selectedId) {
      ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }
  }
  ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  ::InvalidateRect(list, nullptr, TRUE);
}

void BanListPage::Unban() {
  const int row = ListView_GetNextItem(Control(Id::List), -1, LVNI_SELECTED);
  if (row < 0 || row >= static_cast<int>(rows_.size())) {
    ShowStatus("请先选择要解封的玩家");
    return;
  }
  setup_.unban(rows_[row].userId, rows_[row].name);
}

void BanListPage::ShowStatus(std::string_view text) {
  if (page_.Made()) SetWindowTextUtf8(Control(Id::StatusText), text);
}

}  // namespace tidemoor
