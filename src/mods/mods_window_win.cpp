#include "mods/mods_window_win.h"

#include <commctrl.h>

#include <array>

#include "mods/import_source_picker_win.h"
#include "mods/mod_import.h"
#include "mods/mod_selection.h"
#include "platform/codepage_win.h"
#include "platform/list_cell_win.h"
#include "platform/text.h"
#include "platform/text_input_win.h"

namespace tidemoor {
namespace {

using Id = ModsControl;
using K = ControlKind;

constexpr UINT kProgressMilliseconds = 200;
// A tick the host set, handled once the list has finished its own click.
constexpr UINT kTickedMessage = WM_APP + 1;

const std::array<ControlDefinition, 13> kControls = {{
    {ControlNumber(Id::EnableBox), K::CheckBox, "启用模组", 8, 8, 100, 24},
    {ControlNumber(Id::RunningNote), K::Label, "", 116, 12, 712, 20, kEndEllipsis},
    {ControlNumber(Id::List), K::ReportList, "", 8, 38, 828, 330, kBordered},
    {ControlNumber(Id::StatusLine), K::Label, "", 8, 374, 828, 20, kEndEllipsis},
    {ControlNumber(Id::Progress), K::ProgressBar, "", 8, 398, 828, 12},
    {ControlNumber(Id::SteamButton), K::Button, "从 Steam 导入", 8, 418, 104, 28},
    {ControlNumber(Id::ImportButton), K::Button, "导入文件夹或压缩包", 118, 418, 136, 28},
    {ControlNumber(Id::DownloadButton), K::Button, "按创意工坊 ID 下载", 260, 418, 136, 28},
    {ControlNumber(Id::UpdateButton), K::Button, "更新", 402, 418, 56, 28},
    {ControlNumber(Id::DeleteButton), K::Button, "删除", 464, 418, 56, 28},
    {ControlNumber(Id::RedeployButton), K::Button, "重新部署", 526, 418, 76, 28},
    {ControlNumber(Id::OpenFolderButton), K::Button, "打开模组目录", 608, 418, 104, 28},
    {ControlNumber(Id::SaveButton), K::Button, "保存", 760, 418, 76, 28},
}};

const std::array<ListColumn, 7> kColumns = {{{"名称", 180},
                                             {"包名", 120},
                                             {"版本", 56},
                                             {"作者", 90},
                                             {"来源", 130},
                                             {"内容", 100},
                                             {"状态", 130}}};

constexpr char kRunningNote[] = "服务端正在运行 - 模组更改将在下次开服时生效";

}  // namespace

HWND ModsWindow::Open(ModsWindowSetup setup) {
  if (BringForwardIfOpen()) return window_;
  if (!files_) {
    setup_ = std::move(setup);
    if (!setup_.pickImport) setup_.pickImport = PickModToImport;
    if (!setup_.askWorkshopItem) {
      setup_.askWorkshopItem = [](HWND owner) {
        return AskForText(owner, "按创意工坊 ID 下载", "创意工坊 ID 或模组的创意工坊网址:");
      };
    }
    files_.emplace();
    importer_.emplace(setup_.paths);
  }
  ++opening_;
  listed_ = false;
  read_ = false;
  backupMade_ = false;
  rows_.clear();
  if (Make(setup_.owner, setup_.prompt)) Refresh();
  return window_;
}

void ModsWindow::OnCreate(UINT dpi) {
  CreateControlsForDpi(window_, kControls, dpi, font_);
  const HWND list = Control(Id::List);
  AddListColumns(list, kColumns);
  ListView_SetExtendedListViewStyleEx(list, LVS_EX_CHECKBOXES, LVS_EX_CHECKBOXES);
  PlaceControls(dpi);
  FollowServer();
  FollowImport();
}

void ModsWindow::PlaceControls(UINT dpi) {
  PlaceControlsForDpi(window_, kControls, dpi, font_);
  SizeListColumns(Control(Id::List), kColumns, dpi);
}

LRESULT ModsWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED) OnButton(static_cast<Id>(LOWORD(wParam)));
      return 0;
    case WM_NOTIFY: {
      const auto& notice = *reinterpret_cast<const NMHDR*>(lParam);
      if (notice.idFrom == static_cast<UINT_PTR>(Id::List)) return OnListNotice(notice);
      return 0;
    }
    case kTickedMessage:
      OnTicked(static_cast<int>(wParam), lParam != 0);
      return 0;
    case WM_TIMER:
      if (wParam == static_cast<UINT_PTR>(Id::ProgressTimer)) FollowImport();
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) FollowServer();
      break;
    case WM_DESTROY:
      ::KillTimer(window_, static_cast<UINT_PTR>(Id::ProgressTimer));
      return 0;
  }
  return DefaultHandling(message, wParam, lParam);
}

void ModsWindow::OnButton(Id id) {
  switch (id) {
    case Id::EnableBox:
      edited_.enabled = ::SendMessageW(Control(Id::EnableBox), BM_GETCHECK, 0, 0) == BST_CHECKED;
      break;
    case Id::SteamButton:
      ImportFromSteam();
      break;
    case Id::ImportButton:
      ImportFromFiles();
      break;
    case Id::DownloadButton:
      DownloadFromWorkshop();
      break;
    case Id::UpdateButton:
      UpdateSelected();
      break;
    case Id::DeleteButton:
      DeleteSelected();
      break;
    case Id::RedeployButton:
      RedeploySelected();
      break;
    case Id::OpenFolderButton:
      OpenModsFolder();
      break;
    case Id::SaveButton:
      Save();
      break;
    default:
      break;
  }
}

LRESULT ModsWindow::OnListNotice(const NMHDR& notice) {
  if (notice.code != LVN_ITEMCHANGED) return 0;
  const auto& change = reinterpret_cast<const NMLISTVIEW&>(notice);
  if (!(change.uChanged & LVIF_STATE) || change.iItem < 0) return 0;
  const UINT changed = change.uNewState ^ change.uOldState;
  if ((changed & LVIS_STATEIMAGEMASK) && !filling_) {
    const bool ticked = ((change.uNewState & LVIS_STATEIMAGEMASK) >> 12) == 2;
    ::PostMessageW(window_, kTickedMessage, change.iItem, ticked);
  }
  if (changed & LVIS_SELECTED) EnableButtons();
  return 0;
}

void ModsWindow::Refresh() {
  const int opening = opening_;
  files_->Run<ModsOnDisk>(
      [paths = setup_.paths, steamPath = SteamPathInRegistry()] {
        return ReadModsOnDisk(paths, steamPath);
      },
      [this, opening](ModsOnDisk disk) {
        if (window_ && opening == opening_) Show(std::move(disk));
      });
}

// The settings the window edits are what the file said the first time this opening could read
// it; later readings bring new folders and statuses, never undo the host's ticks.
void ModsWindow::Show(ModsOnDisk disk) {
  disk_ = std::move(disk);
  listed_ = true;
  if (!read_ && disk_.settings) {
    read_ = true;
    atOpen_ = *disk_.settings;
    edited_ = atOpen_;
  }
  FillRows();
  // What the host did last stays in the line, unless something here needs saying.
  if (disk_.settingsState == FileState::Unreadable) {
    ShowStatus(WithCause("无法读取 Mods\\PalModSettings.ini", disk_.settingsError));
  } else if (!disk_.settings) {
    ShowStatus("Mods\\PalModSettings.ini 的编码无法识别 (只能修改 UTF-8 或 UTF-16 的文件)");
  } else if (disk_.mods.empty()) {
    ShowStatus("Mods\\Workshop 中还没有模组");
  }
}

void ModsWindow::FillRows() {
  rows_ = ModRows(disk_.mods, edited_.activeMods, disk_.steamTimes);
  const HWND list = Control(Id::List);
  filling_ = true;
  ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  const bool rebuild = ListView_GetItemCount(list) != static_cast<int>(rows_.size());
  if (rebuild) ListView_DeleteAllItems(list);
  for (int i = 0; i < static_cast<int>(rows_.size()); ++i) {
    const ModRow& row = rows_[i];
    const std::array<const std::string*, kColumns.size()> cells = {
        &row.name,   &row.packageName, &row.version,   &row.author,
        &row.source, &row.content,     &row.statusText};
    for (int column = 0; column < static_cast<int>(cells.size()); ++column) {
      SetListCell(list, i, column, ShownText(*cells[column], 200), rebuild);
    }
    ListView_SetCheckState(list, i, row.active);
  }
  ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  ::InvalidateRect(list, nullptr, TRUE);
  filling_ = false;
  ::SendMessageW(Control(Id::EnableBox), BM_SETCHECK, edited_.enabled ? BST_CHECKED : BST_UNCHECKED,
                 0);
  EnableButtons();
}

void ModsWindow::OnTicked(int row, bool ticked) {
  if (!window_ || row >= static_cast<int>(rows_.size()) || rows_[row].active == ticked) return;
  const ModRow mod = rows_[row];  // the question below lets a refresh refill the rows
  const std::vector<ModInfo> installed = UsableMods(disk_.mods);
  if (!read_) {
    ShowStatus("无法读取 Mods\\PalModSettings.ini - 无法更改启用的模组");
  } else if (ticked && mod.packageName.empty()) {
    ShowStatus("Info.json 无法读取 - 无法启用");
  } else if (ticked) {
    const TickResult result = TickMod(installed, edited_.activeMods, mod.packageName);
    if (result.ticked) edited_.activeMods = result.activeMods;
    ShowStatus(result.message.empty() ? "已启用 " + ShownText(mod.name) : result.message);
  } else {
    const std::vector<std::string> needing =
        ActiveModsNeeding(installed, edited_.activeMods, mod.packageName);
    if (needing.empty() ||
        setup_.prompt->Confirm(" 已启用的模组 " + ShownText(JoinTexts(needing, ", ")) + " 依赖 " +
                                   ShownText(mod.name) + " - 停用后它们将无法加载, 是否仍然停用? ",
                               kModsWindowTitle, PromptStyle::WarningQuestion)) {
      edited_.activeMods = UntickMod(edited_.activeMods, mod.packageName);
      ShowStatus("已停用 " + ShownText(mod.name));
    } else {
      ShowStatus("仍启用 " + ShownText(mod.name));
    }
  }
  if (window_) FillRows();
}

void ModsWindow::ShowStatus(std::string_view text) {
  if (window_) SetWindowTextUtf8(Control(Id::StatusLine), text);
}

void ModsWindow::FollowServer() {
  if (!window_) return;
  const bool running = setup_.serverRunning && setup_.serverRunning();
  SetWindowTextUtf8(Control(Id::RunningNote), running ? kRunningNote : "");
}

bool ModsWindow::Busy() const {
  return (importer_ && importer_->Busy()) || saving_ || changing_ || downloading_ || reading_;
}

int ModsWindow::SelectedRow() const {
  const int row = ListView_GetNextItem(Control(Id::List), -1, LVNI_SELECTED);
  return row < static_cast<int>(rows_.size()) ? row : -1;
}

void ModsWindow::EnableButtons() {
  if (!window_) return;
  const bool busy = Busy();
  const int row = SelectedRow();
  const ModRow* selected = row >= 0 ? &rows_[row] : nullptr;
  const std::array<std::pair<Id, bool>, 7> states = {{
      {Id::SteamButton, !busy},
      {Id::ImportButton, !busy},
      {Id::DownloadButton, !busy},
      {Id::UpdateButton, !busy && selected && selected->status == ModStatus::UpdateAvailable},
      {Id::DeleteButton, !busy && selected},
      {Id::RedeployButton, !busy && selected && !selected->packageName.empty()},
      {Id::SaveButton, !saving_ && !changing_ && listed_},
  }};
  for (const auto& [id, enabled] : states) ::EnableWindow(Control(id), enabled);
}

void ModsWindow::Tell(std::string_view text, PromptStyle style) {
  setup_.prompt->Ask(text, kModsWindowTitle, style);
}

void ModsWindow::Record(std::string_view text) {
  if (setup_.log) setup_.log->Record(text);
}

}  // namespace tidemoor
