#include "backup/backup_manager_win.h"

#include <commctrl.h>

#include <array>

#include "backup/backup_store_win.h"
#include "platform/codepage_win.h"
#include "platform/directory_listing_win.h"
#include "platform/pumping_wait_win.h"

namespace tidemoor {
namespace {

using Id = BackupManagerControl;

constexpr wchar_t kWindowClass[] = L"TidemoorBackupManager";
constexpr int kWindowWidth = 340;
constexpr int kWindowHeight = 502;
constexpr UINT kFillDelayMilliseconds = 10;

// The list and the buttons sit inside the group box (8, 8); they are children of the window
// itself, so their notifications reach it.
const std::array<ControlDefinition, 5> kControls = {{
    {static_cast<int>(Id::Group), ControlKind::GroupBox, "备份点列表", 8, 8, 318, 458},
    {static_cast<int>(Id::List), ControlKind::ReportList, "", 16, 25, 300, 400, kBordered},
    {static_cast<int>(Id::CreateButton), ControlKind::Button, "立刻创建现行备份", 18, 432, 116, 24},
    {static_cast<int>(Id::DeleteButton), ControlKind::Button, "删除", 141, 432, 52, 24},
    {static_cast<int>(Id::RestoreButton), ControlKind::Button, "还原至选中备份点", 200, 432, 116,
     24},
}};

struct Column {
  const char* caption;
  int width;
};
const std::array<Column, 2> kColumns = {{{"存档目录名", 96}, {"时间点", 180}}};

std::string ItemText(HWND list, int row, int column) {
  std::array<wchar_t, 1024> buffer{};
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = buffer.data();
  item.cchTextMax = static_cast<int>(buffer.size());
  const auto length = ::SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
  return Narrow(std::wstring_view(buffer.data(), static_cast<size_t>(length)));
}

}  // namespace

HWND BackupManagerWindow::Open(BackupManagerSetup setup) {
  if (window_) {
    BringWindowForward(window_);
    return window_;
  }
  setup_ = std::move(setup);
  errorPrompt_ = setup_.prompt;
  host_.emplace(setup_.stopServer);
  const HWND window = CreateBaseWindow(kWindowClass, Widen(kBackupManagerTitle).c_str(),
                                       WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX,
                                       kWindowWidth, kWindowHeight, setup_.owner);
  if (window) ::ShowWindow(window, SW_SHOWNORMAL);
  return window;
}

LRESULT BackupManagerWindow::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_CREATE:
      SizeWindowForDpi(window_, kWindowWidth, kWindowHeight);
      CreateControls();
      // The list is read after the window is on screen, so a slow disk does not delay it.
      ::SetTimer(window_, static_cast<UINT_PTR>(Id::FillTimer), kFillDelayMilliseconds, nullptr);
      return 0;
    case WM_TIMER:
      if (wParam == static_cast<UINT_PTR>(Id::FillTimer)) {
        ::KillTimer(window_, wParam);
        RefreshBackupList();
      }
      return 0;
    case WM_COMMAND:
      if (HIWORD(wParam) == BN_CLICKED) OnButton(static_cast<Id>(LOWORD(wParam)));
      return 0;
    case WM_NOTIFY: {
      const auto& notice = *reinterpret_cast<const NMHDR*>(lParam);
      if (notice.idFrom == static_cast<UINT_PTR>(Id::List) &&
          (notice.code == NM_RCLICK || notice.code == NM_DBLCLK)) {
        RevealBackupPoint(*host_, setup_.places, SelectedPoint());
      }
      return 0;
    }
    case WM_DPICHANGED: {
      const RECT& suggested = *reinterpret_cast<const RECT*>(lParam);
      ::SetWindowPos(window_, nullptr, suggested.left, suggested.top,
                     suggested.right - suggested.left, suggested.bottom - suggested.top,
                     SWP_NOZORDER | SWP_NOACTIVATE);
      PlaceControls(HIWORD(wParam));
      return 0;
    }
  }
  return DefaultHandling(message, wParam, lParam);
}

HWND BackupManagerWindow::Control(Id id) const {
  return ::GetDlgItem(window_, static_cast<int>(id));
}

void BackupManagerWindow::CreateControls() {
  const UINT dpi = WindowDpi(window_);
  CreateControlsForDpi(window_, kControls, dpi, font_);
  const HWND list = Control(Id::List);
  ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT | LVS_EX_GRIDLINES);
  for (int i = 0; i < static_cast<int>(kColumns.size()); ++i) {
    std::wstring caption = Widen(kColumns[i].caption);
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = caption.data();
    column.iSubItem = i;
    ::SendMessageW(list, LVM_INSERTCOLUMNW, i, reinterpret_cast<LPARAM>(&column));
  }
  PlaceControls(dpi);
}

void BackupManagerWindow::PlaceControls(UINT dpi) {
  PlaceControlsForDpi(window_, kControls, dpi, font_);
  for (int i = 0; i < static_cast<int>(kColumns.size()); ++i) {
    ListView_SetColumnWidth(Control(Id::List), i, ScaleForDpi(kColumns[i].width, dpi));
  }
}

void BackupManagerWindow::OnButton(Id id) {
  Prompt& prompt = *setup_.prompt;
  const auto refresh = [this] { RefreshBackupList(); };
  switch (id) {
    case Id::CreateButton:
      OnCreateBackupClicked(*host_, prompt, setup_.places, refresh);
      break;
    case Id::DeleteButton:
      DeleteBackupPoint(*host_, prompt, setup_.places, SelectedPoint(), refresh);
      break;
    case Id::RestoreButton:
      RestoreBackupPoint(*host_, prompt, setup_.places, SelectedPoint());
      break;
    default:
      break;
  }
}

std::optional<BackupPoint> BackupManagerWindow::SelectedPoint() const {
  const HWND list = Control(Id::List);
  const int row = ListView_GetNextItem(list, -1, LVNI_SELECTED);
  if (row < 0) return std::nullopt;
  return BackupPoint{ItemText(list, row, 0), ItemText(list, row, 1)};
}

// Waiting messages are let through after each directory, so a click can ask for another
// refresh meanwhile; the gate runs it after this one instead of inside it.
void BackupManagerWindow::RefreshBackupList() {
  refreshGate_.Run([this] { FillList(); });
}

void BackupManagerWindow::FillList() {
  if (!window_) return;
  ListView_DeleteAllItems(Control(Id::List));
  MessageBreaks breaks;
  const std::vector<BackupPoint> points = ListBackupPoints(setup_.places.toolDirectory, [&] {
    breaks.Take();
    return window_ != nullptr;  // the user may close the window meanwhile
  });
  if (!window_) return;
  const HWND list = Control(Id::List);
  ::SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  for (int row = 0; row < static_cast<int>(points.size()); ++row) {
    std::wstring folder = Widen(points[row].FolderName);
    std::wstring time = Widen(points[row].DisplayTime);
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.pszText = folder.data();
    ::SendMessageW(list, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    item.iSubItem = 1;
    item.pszText = time.data();
    ::SendMessageW(list, LVM_SETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
  }
  ::SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  if (!points.empty()) {
    ListView_SetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(list, 0, FALSE);
  }
  ::InvalidateRect(list, nullptr, TRUE);
}

}  // namespace tidemoor
