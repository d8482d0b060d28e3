#include "mods/steam_import_window_win.h"

#include <commctrl.h>

#include <array>

#include "mods/mod_import.h"
#include "platform/codepage_win.h"
#include "platform/list_cell_win.h"

namespace tidemoor {
namespace {

using Id = SteamImportControl;

constexpr UINT kProgressMilliseconds = 200;

const std::array<ControlDefinition, 4> kControls = {{
    {ControlNumber(Id::List), ControlKind::ReportList, "", 8, 8, 608, 300, kBordered},
    {ControlNumber(Id::Progress), ControlKind::ProgressBar, "", 8, 318, 608, 14},
    {ControlNumber(Id::ProgressText), ControlKind::Label, "", 8, 338, 480, 20, kEndEllipsis},
    {ControlNumber(Id::ImportButton), ControlKind::Button, "导入", 516, 356, 100, 28},
}};

const std::array<ListColumn, 4> kColumns = {
    {{"名称", 180}, {"包名", 120}, {"创意工坊 ID", 100}, {"更新时间", 190}}};

}  // namespace

HWND SteamImportWindow::Open(SteamImportSetup setup, std::vector<SteamWorkshopItem> items) {
  setup_ = std::move(setup);
  items_ = std::move(items);
  if (BringForwardIfOpen()) {
    Fill();
  } else {
    Make(setup_.owner, setup_.prompt);
  }
  return window_;
}

void SteamImportWindow::OnCreate(UINT dpi) {
  CreateControlsForDpi(window_, kControls, dpi, font_);
  const HWND list = Control(Id::List);
  AddListColumns(list, kColumns);
  // Several items may be chosen at once.
  ::SetWindowLongPtrW(list, GWL_STYLE, ::GetWindowLongPtrW(list, GWL_STYLE) & ~LVS_SINGLESEL);
  PlaceControls(dpi);
  Fill();
  FollowImport();
}

void SteamImportWindow::PlaceControls(UINT dpi) {
  PlaceControlsForDpi(window_, kControls, dpi, font_);
  SizeListColumns(Control(Id::List), kColumns, dpi);
}

LRESULT SteamImportWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED && LOWORD(wParam) == ControlNumber(Id::ImportButton)) {
        ImportChosen();
      }
      return 0;
    case WM_TIMER:
      if (wParam == static_cast<UINT_PTR>(Id::ProgressTimer)) {
        ShowImportProgress(setup_.importer, Control(Id::Progress), Control(Id::ProgressText));
      }
      return 0;
    case WM_DESTROY:
      ::KillTimer(window_, static_cast<UINT_PTR>(Id::ProgressTimer));
      return 0;
  }
  return DefaultHandling(message, wParam, lParam);
}

void SteamImportWindow::Fill() {
  const HWND list = Control(Id::List);
  ListView_DeleteAllItems(list);
  for (int row = 0; row < static_cast<int>(items_.size()); ++row) {
    const SteamWorkshopItem& item = items_[row];
    const WorkshopItemNames names = WorkshopItemNamesOf(item.id, item.infoJson);
    SetListCell(list, row, 0, ShownText(names.shownName, 200), true);
    SetListCell(list, row, 1, names.packageName, false);
    SetListCell(list, row, 2, item.id, false);
    SetListCell(list, row, 3, item.timeUpdated ? LocalTimeText(*item.timeUpdated) : "", false);
  }
}

void SteamImportWindow::ImportChosen() {
  std::vector<SteamWorkshopItem> chosen;
  const HWND list = Control(Id::List);
  for (int row = ListView_GetNextItem(list, -1, LVNI_SELECTED); row >= 0;
       row = ListView_GetNextItem(list, row, LVNI_SELECTED)) {
    if (row < static_cast<int>(items_.size())) chosen.push_back(items_[row]);
  }
  if (chosen.empty()) {
    SetWindowTextUtf8(Control(Id::ProgressText), "请先在列表中选择要导入的模组");
    return;
  }
  if (setup_.import) setup_.import(std::move(chosen));
}

void SteamImportWindow::FollowImport(std::string_view outcome) {
  if (!window_) return;
  const bool busy = setup_.importer && setup_.importer->Busy();
  ::EnableWindow(Control(Id::ImportButton), !busy);
  const auto timer = static_cast<UINT_PTR>(Id::ProgressTimer);
  if (busy) {
    ::SetTimer(window_, timer, kProgressMilliseconds, nullptr);
  } else {
    ::KillTimer(window_, timer);
  }
  ShowImportProgress(setup_.importer, Control(Id::Progress), Control(Id::ProgressText));
  if (!busy && !outcome.empty()) SetWindowTextUtf8(Control(Id::ProgressText), outcome);
}

void ShowImportProgress(const ModImporter* importer, HWND bar, HWND text) {
  const bool busy = importer && importer->Busy();
  ::ShowWindow(bar, busy ? SW_SHOWNA : SW_HIDE);
  if (!busy) return;
  ::SendMessageW(bar, PBM_SETRANGE32, 0, std::max(importer->FilesTotal(), 1));
  ::SendMessageW(bar, PBM_SETPOS, importer->FilesDone(), 0);
  SetWindowTextUtf8(text, importer->ProgressText());
}

}  // namespace tidemoor
