#include "server/player_records_page_win.h"

#include <commctrl.h>

#include <array>

#include "platform/clipboard_win.h"
#include "platform/codepage_win.h"
#include "platform/date_time_win.h"
#include "platform/list_cell_win.h"
#include "platform/text.h"
#include "platform/whole_file_win.h"

namespace tidemoor {
namespace {

using Id = RecordsControl;

// Below the tabs of the players window.
const std::array<ControlDefinition, 8> kControls = {{
    {ControlNumber(Id::SearchLabel), ControlKind::Label, "搜索", 16, 46, 40, 20},
    {ControlNumber(Id::SearchEdit), ControlKind::Edit, "", 58, 42, 250, 24},
    {ControlNumber(Id::CountLabel), ControlKind::Label, "", 316, 44, 312, 24, kEndEllipsis},
    {ControlNumber(Id::List), ControlKind::ReportList, "", 16, 74, 612, 260, kBordered},
    {ControlNumber(Id::AddToWhitelistButton), ControlKind::Button, "加入白名单", 16, 344, 100, 26},
    {ControlNumber(Id::CopyIdButton), ControlKind::Button, "复制玩家ID", 122, 344, 100, 26},
    {ControlNumber(Id::RefreshButton), ControlKind::Button, "刷新", 228, 344, 70, 26},
    {ControlNumber(Id::StatusText), ControlKind::Label, "", 306, 346, 322, 22, kEndEllipsis},
}};

const std::array<ListColumn, kRecordColumns> kColumns = {{{"名字", 90},
                                                          {"玩家ID (userId)", 140},
                                                          {"首次出现", 104},
                                                          {"最近出现", 104},
                                                          {"次数", 36},
                                                          {"在线时长", 60},
                                                          {"曾用名", 56}}};

constexpr size_t kMostBytes = 16u << 20;

}  // namespace

PlayerRecordsPage::PlayerRecordsPage() : page_(kControls, ControlNumber(Id::List), kColumns) {}

void PlayerRecordsPage::Create(HWND parent, UINT dpi, PlayerRecordsPageSetup setup) {
  setup_ = std::move(setup);
  page_.Make(parent, dpi);
  ::SendMessageW(Control(Id::SearchEdit), EM_SETLIMITTEXT, 64, 0);
}

void PlayerRecordsPage::Place(UINT dpi) {
  page_.Place(dpi);
}

void PlayerRecordsPage::Show(bool shown) {
  page_.Show(shown);
  if (shown) Read();
}

HWND PlayerRecordsPage::Control(Id id) const {
  return page_.Control(ControlNumber(id));
}

bool PlayerRecordsPage::OnCommand(int id, int code) {
  if (id < ControlNumber(Id::SearchLabel) || id > ControlNumber(Id::StatusText)) return false;
  if (id == ControlNumber(Id::SearchEdit) && code == EN_CHANGE) ShowRows();
  if (code != BN_CLICKED) return true;
  if (id == ControlNumber(Id::RefreshButton)) Read();
  const PlayerRecord* selected = Selected();
  if ((id == ControlNumber(Id::AddToWhitelistButton) || id == ControlNumber(Id::CopyIdButton)) &&
      !selected) {
    ShowStatus("请先选择一名玩家");
    return true;
  }
  if (id == ControlNumber(Id::AddToWhitelistButton)) {
    ShowStatus(setup_.addToWhitelist(selected->userId, selected->name));
  }
  if (id == ControlNumber(Id::CopyIdButton)) {
    CopyToClipboard(page_.Window(), selected->userId, [this, id = selected->userId](bool copied) {
      ShowStatus(copied ? "已复制: " + EscapeControlCharacters(id)
                        : "剪贴板被其他程序占用, 请重试");
    });
  }
  return true;
}

bool PlayerRecordsPage::OnNotify(const NMHDR& header) {
  if (header.idFrom != static_cast<UINT_PTR>(Id::List) || header.code != LVN_COLUMNCLICK) {
    return false;
  }
  const auto column =
      static_cast<RecordColumn>(reinterpret_cast<const NMLISTVIEW&>(header).iSubItem);
  descending_ = column == column_ ? !descending_ : false;
  column_ = column;
  ShowRows();
  return true;
}

void PlayerRecordsPage::Read() {
  if (reading_) return;
  reading_ = true;
  reader_.Run<PlayerRecords>(
      [file = setup_.playersFile] {
        return PlayerRecords::Read(ReadWholeFile(file, kMostBytes).bytes);
      },
      [this](PlayerRecords read) {
        reading_ = false;
        records_ = read.Records();
        ShowRows();
      });
}

void PlayerRecordsPage::ShowRows() {
  const PlayerRecord* before = Selected();
  const std::string selectedId = before ? before->userId : std::string();
  shown_ = RecordsShown(records_, WindowText(Control(Id::SearchEdit)), column_, descending_);
  const HWND list = Control(Id::List);
  ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  ListView_DeleteAllItems(list);
  for (int row = 0; row < static_cast<int>(shown_.size()); ++row) {
    const PlayerRecord& record = shown_[row];
    SetListCell(list, row, 0, EscapeControlCharacters(record.name), true);
    SetListCell(list, row, 1, EscapeControlCharacters(record.userId), false);
    SetListCell(list, row, 2, MinuteText(LocalTimeOf(record.firstSeen)), false);
    SetListCell(list, row, 3, MinuteText(LocalTimeOf(record.lastSeen)), false);
    SetListCell(list, row, 4, std::to_string(record.sessions), false);
    SetListCell(list, row, 5, OnlineTimeText(record.minutesOnline), false);
    SetListCell(list, row, 6, EscapeControlCharacters(JoinTexts(record.formerNames, ", ")), false);
    if (record.userId == selectedId) {
      ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    }
  }
  ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  ::InvalidateRect(list, nullptr, TRUE);
  SetWindowTextUtf8(Control(Id::CountLabel), "共 " + std::to_string(records_.size()) +
                                                 " 名玩家, 显示 " + std::to_string(shown_.size()) +
                                                 " 名");
}

const PlayerRecord* PlayerRecordsPage::Selected() const {
  const int row = ListView_GetNextItem(Control(Id::List), -1, LVNI_SELECTED);
  return row >= 0 && row < static_cast<int>(shown_.size()) ? &shown_[row] : nullptr;
}

void PlayerRecordsPage::ShowStatus(std::string_view text) {
  SetWindowTextUtf8(Control(Id::StatusText), text);
}

}  // namespace tidemoor
