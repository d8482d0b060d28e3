#include "server/whitelist_page_win.h"

#include <commctrl.h>

#include <array>
#include <chrono>

#include "platform/codepage_win.h"
#include "platform/date_time_win.h"
#include "platform/list_cell_win.h"
#include "platform/system_error.h"
#include "platform/text.h"
#include "platform/date_time.h"
#include "platform/whole_file_win.h"
#include "server/player_admin.h"

namespace tidemoor {
namespace {

using Id = WhitelistControl;

// Below the tabs of the players window, in the same place as the page of online players.
const std::array<ControlDefinition, 9> kControls = {{
    {ControlNumber(Id::OnlyListedBox), ControlKind::CheckBox, "只允许白名单中的玩家", 16, 44, 190,
     24},
    {ControlNumber(Id::UnavailableLine), ControlKind::Label, "", 210, 44, 418, 24, kEndEllipsis},
    {ControlNumber(Id::List), ControlKind::ReportList, "", 16, 74, 612, 230, kBordered},
    {ControlNumber(Id::IdLabel), ControlKind::Label, "玩家ID (userId)", 16, 318, 100, 20},
    {ControlNumber(Id::IdEdit), ControlKind::Edit, "", 118, 314, 220, 24},
    {ControlNumber(Id::AddButton), ControlKind::Button, "添加", 344, 313, 64, 26},
    {ControlNumber(Id::AddOnlineButton), ControlKind::Button, "从在线玩家添加", 414, 313, 130, 26},
    {ControlNumber(Id::RemoveButton), ControlKind::Button, "移除", 550, 313, 78, 26},
    {ControlNumber(Id::StatusText), ControlKind::Label, "", 16, 350, 612, 22, kEndEllipsis},
}};

const std::array<ListColumn, 3> kColumns = {
    {{"名字", 160}, {"玩家ID (userId)", 250}, {"添加时间", 180}}};

}  // namespace

WhitelistPage::WhitelistPage() : page_(kControls, ControlNumber(Id::List), kColumns) {}

void WhitelistPage::Create(HWND parent, UINT dpi, WhitelistPageSetup setup) {
  setup_ = std::move(setup);
  page_.Make(parent, dpi);
  ::SendMessageW(Control(Id::IdEdit), EM_SETLIMITTEXT, 128, 0);
  Refresh();
}

void WhitelistPage::Place(UINT dpi) {
  page_.Place(dpi);
}

void WhitelistPage::Show(bool shown) {
  page_.Show(shown);
}

HWND WhitelistPage::Control(Id id) const {
  return page_.Control(ControlNumber(id));
}

bool WhitelistPage::OnCommand(int id, int code) {
  if (id < ControlNumber(Id::OnlyListedBox) || id > ControlNumber(Id::StatusText)) return false;
  if (code != BN_CLICKED) return true;
  switch (static_cast<Id>(id)) {
    case Id::OnlyListedBox:
      OnBoxClicked();
      break;
    case Id::AddButton:
      if (AddPlayer(WindowText(Control(Id::IdEdit)), {}).starts_with("已加入")) {
        SetWindowTextUtf8(Control(Id::IdEdit), "");
      }
      break;
    case Id::AddOnlineButton:
      AddOnline();
      break;
    case Id::RemoveButton:
      Remove();
      break;
    default:
      break;
  }
  return true;
}

void WhitelistPage::Refresh() {
  if (!page_.Made()) return;
  RefreshSwitch();
  const WholeFile read = ReadWholeFile(setup_.file);
  if (read.state == FileState::Unreadable) {
    ShowStatus(WithCause("白名单文件无法读取: " + setup_.file, read.error));
    return;
  }
  whitelist_ = ReadWhitelist(read.bytes);
  ShowList();
}

void WhitelistPage::RefreshSwitch() {
  if (!page_.Made()) return;
  const std::string unavailable = setup_.unavailable();
  SetWindowTextUtf8(Control(Id::UnavailableLine), unavailable);
  ::EnableWindow(Control(Id::OnlyListedBox), unavailable.empty() || setup_.on());
  ::SendMessageW(Control(Id::OnlyListedBox), BM_SETCHECK, setup_.on() ? BST_CHECKED : BST_UNCHECKED,
                 0);
}

// Ticking asks about those online who are not listed: Yes lists them, No leaves them to the next
// check, Cancel leaves the box unticked.
void WhitelistPage::OnBoxClicked() {
  const bool ticked = ::SendMessageW(Control(Id::OnlyListedBox), BM_GETCHECK, 0, 0) == BST_CHECKED;
  if (!ticked) {
    setup_.setOn(false);
    setup_.log->Record("白名单: 已关闭");
    return;
  }
  auto untick = [this] {
    ::SendMessageW(Control(Id::OnlyListedBox), BM_SETCHECK, BST_UNCHECKED, 0);
  };
  if (const std::string unavailable = setup_.unavailable(); !unavailable.empty()) {
    untick();
    ShowStatus(unavailable);
    return;
  }
  if (whitelist_.Empty()) {
    untick();
    setup_.prompt->Ask(kEmptyWhitelistRefusal, kWhitelistTitle, PromptStyle::Warning);
    return;
  }
  const std::vector<PlayerInfo> unlisted = UnlistedPlayers(setup_.online(), whitelist_);
  if (!unlisted.empty()) {
    const PromptAnswer answer = setup_.prompt->Ask(UnlistedPlayersQuestion(unlisted.size()),
                                                   kWhitelistTitle, PromptStyle::QuestionOrCancel);
    if (answer == PromptAnswer::Cancel) {
      untick();
      return;
    }
    if (answer == PromptAnswer::Yes) {
      for (const PlayerInfo& player : unlisted) {
        AddToWhitelist(whitelist_, player.userId, player.name, SecondsSince1970());
      }
      if (!Save()) {
        untick();
        return;
      }
      ShowList();
    }
  }
  setup_.setOn(true);
  setup_.log->Record("白名单: 已开启");
}

std::string WhitelistPage::AddPlayer(std::string_view userId, std::string_view name) {
  Refresh();  // the file as it is now: another page may have added to it
  std::string outcome;
  if (!AddToWhitelist(whitelist_, userId, name, SecondsSince1970())) {
    outcome = whitelist_.Lists(TrimBlanks(userId)) ? "该玩家已在白名单中"
                                                   : "请输入玩家ID (userId), 如 steam_7656…";
  } else if (!Save()) {
    outcome = "白名单无法保存";
  } else {
    ShowList();
    outcome = "已加入白名单: " + EscapeControlCharacters(TrimBlanks(userId));
  }
  ShowStatus(outcome);
  return outcome;
}

void WhitelistPage::AddOnline() {
  const std::optional<PlayerInfo> player = setup_.selectedOnline();
  if (!player || player->userId.empty()) {
    ShowStatus("请先在 在线玩家 中选择一名玩家");
    return;
  }
  AddPlayer(player->userId, player->name);
}

void WhitelistPage::Remove() {
  const int row = ListView_GetNextItem(Control(Id::List), -1, LVNI_SELECTED);
  const std::vector<WhitelistEntry> entries = whitelist_.Entries();
  if (row < 0 || row >= static_cast<int>(entries.size())) {
    ShowStatus("请先选择要移除的玩家");
    return;
  }
  if (setup_.on() && entries.size() == 1) {
    ShowStatus(kEmptyWhitelistRefusal);
    return;
  }
  RemoveFromWhitelist(whitelist_, entries[row].userId);
  if (!Save()) return;
  ShowList();
  ShowStatus("已从白名单移除: " + EscapeControlCharacters(entries[row].userId));
}

bool WhitelistPage::Save() {
  const Outcome written = ReplaceWholeFile(setup_.file, WhitelistText(whitelist_));
  if (written) return true;
  setup_.prompt->Ask(WithCause("白名单无法保存: " + setup_.file, written.Error()), kWhitelistTitle,
                     PromptStyle::Error);
  Refresh();  // the list as the file still holds it
  return false;
}

void WhitelistPage::ShowList() {
  const HWND list = Control(Id::List);
  ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  ListView_DeleteAllItems(list);
  int row = 0;
  for (const WhitelistEntry& entry : whitelist_.Entries()) {
    SetListCell(list, row, 0, EscapeControlCharacters(entry.name), true);
    SetListCell(list, row, 1, EscapeControlCharacters(entry.userId), false);
    SetListCell(list, row, 2, entry.addedAt ? MinuteText(LocalTimeOf(*entry.addedAt)) : "", false);
    ++row;
  }
  ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  ::InvalidateRect(list, nullptr, TRUE);
}

void WhitelistPage::ShowStatus(std::string_view text) {
  SetWindowTextUtf8(Control(Id::StatusText), text);
}

}  // namespace tidemoor
