#include "backup/backup_manager_win.h"

#include <commctrl.h>

#include <algorithm>
#include <array>

#include "backup/backup_store_win.h"
#include "backup/restore_operation.h"
#include "platform/codepage_win.h"

namespace tidemoor {
namespace {

using Id = BackupManagerControl;

constexpr UINT kFillDelayMilliseconds = 10;
// Often enough to look alive, rarely enough to cost the copy nothing.
constexpr UINT kProgressPeriodMilliseconds = 100;

// The list and the buttons sit inside the group box (8, 8); they are children of the window
// itself, so their notifications reach it.
const std::array<ControlDefinition, 14> kControls = {{
    {ControlNumber(Id::Group), ControlKind::GroupBox, "备份点列表", 8, 8, 318, 458},
    {ControlNumber(Id::List), ControlKind::ReportList, "", 16, 25, 300, 400, kBordered},
    {ControlNumber(Id::CreateButton), ControlKind::Button, "立刻创建现行备份", 18, 432, 116, 24},
    {ControlNumber(Id::DeleteButton), ControlKind::Button, "删除", 141, 432, 52, 24},
    {ControlNumber(Id::RestoreButton), ControlKind::Button, "还原至选中备份点", 200, 432, 116, 24},
    {ControlNumber(Id::Progress), ControlKind::ProgressBar, "", 8, 474, 318, 14},
    {ControlNumber(Id::ProgressText), ControlKind::Label, "", 8, 490, 318, 20, kEndEllipsis},
    {ControlNumber(Id::RetentionGroup), ControlKind::GroupBox,
     "自动备份点的保留 (手动备份点不会自动删除)", 8, 514, 318, 80},
    {ControlNumber(Id::KeepLabel), ControlKind::Label, "保留最新", 18, 535, 58, 22},
    {ControlNumber(Id::KeepEdit), ControlKind::Edit, "", 78, 535, 46, 22, kDigitsOnly},
    {ControlNumber(Id::KeepUnit), ControlKind::Label, "个自动备份点 (0 为全部保留)", 130, 535, 190,
     22},
    {ControlNumber(Id::DaysLabel), ControlKind::Label, "删除超过", 18, 563, 58, 22},
    {ControlNumber(Id::DaysEdit), ControlKind::Edit, "", 78, 563, 46, 22, kDigitsOnly},
    {ControlNumber(Id::DaysUnit), ControlKind::Label, "天的自动备份点 (0 为不删除)", 130, 563, 190,
     22},
}};

const std::array<ListColumn, 2> kColumns = {{{"存档目录名", 96}, {"时间点", 180}}};

}  // namespace

HWND BackupManagerWindow::Open(BackupManagerSetup setup) {
  if (BringForwardIfOpen()) return window_;
  setup_ = std::move(setup);
  Make(setup_.owner, setup_.prompt);
  return window_;
}

void BackupManagerWindow::OnCreate(UINT dpi) {
  CreateControls(dpi);
  activityWatch_ = setup_.host->Activity().Watch([this] { ShowActivity(); });
  ShowActivity();
  // The list is read after the window is on screen, so a slow disk does not delay it.
  ::SetTimer(window_, static_cast<UINT_PTR>(Id::FillTimer), kFillDelayMilliseconds, nullptr);
}

LRESULT BackupManagerWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER:
      if (wParam == static_cast<UINT_PTR>(Id::FillTimer)) {
        ::KillTimer(window_, wParam);
        RefreshBackupList();
      }
      if (wParam == static_cast<UINT_PTR>(Id::ProgressTimer)) ShowProgress();
      return 0;
    case WM_COMMAND: {
      const auto id = static_cast<Id>(LOWORD(wParam));
      if (HIWORD(wParam) == BN_CLICKED) OnButton(id);
      if (HIWORD(wParam) == EN_CHANGE && (id == Id::KeepEdit || id == Id::DaysEdit)) {
        OnRetentionEdited();
      }
      return 0;
    }
    case WM_DESTROY:
      setup_.host->Activity().Unwatch(activityWatch_);
      if (listWanted_) listWanted_->store(false);
      return 0;
    case WM_NOTIFY: {
      const auto& notice = *reinterpret_cast<const NMHDR*>(lParam);
      if (notice.idFrom == static_cast<UINT_PTR>(Id::List) &&
          (notice.code == NM_RCLICK || notice.code == NM_DBLCLK)) {
        RevealBackupPoint(*setup_.host, setup_.places, SelectedPoint());
      }
      return 0;
    }
  }
  return DefaultHandling(message, wParam, lParam);
}

void BackupManagerWindow::CreateControls(UINT dpi) {
  CreateControlsForDpi(window_, kControls, dpi, font_);
  AddListColumns(Control(Id::List), kColumns);
  // Showing the values sends change notices; they must not write half-shown values back.
  showingRetention_ = true;
  SetWindowTextUtf8(Control(Id::KeepEdit), std::to_string(setup_.retention->keepPoints));
  SetWindowTextUtf8(Control(Id::DaysEdit), std::to_string(setup_.retention->keepDays));
  showingRetention_ = false;
  PlaceControls(dpi);
}

void BackupManagerWindow::PlaceControls(UINT dpi) {
  PlaceControlsForDpi(window_, kControls, dpi, font_);
  SizeListColumns(Control(Id::List), kColumns, dpi);
}

void BackupManagerWindow::OnButton(Id id) {
  Prompt& prompt = *setup_.prompt;
  BackupHost& host = *setup_.host;
  const auto refresh = [this] { RefreshBackupList(); };
  switch (id) {
    case Id::CreateButton:
      OnCreateBackupClicked(host, prompt, setup_.places, *setup_.retention, refresh);
      break;
    case Id::DeleteButton:
      DeleteBackupPoint(host, prompt, setup_.places, SelectedPoint(), refresh);
      break;
    case Id::RestoreButton:
      RestoreBackupPoint(host, prompt, setup_.places, SelectedPoint());
      break;
    default:
      break;
  }
}

// The settings change as the user types; the settings file takes them with the rest of the
// tool's settings.
void BackupManagerWindow::OnRetentionEdited() {
  if (showingRetention_) return;
  setup_.retention->keepPoints = RetentionCount(WindowText(Control(Id::KeepEdit)));
  setup_.retention->keepDays = RetentionCount(WindowText(Control(Id::DaysEdit)));
}

// While an operation runs the buttons that would start another are disabled, and the progress
// is read a few times a second from what the copy shares.
void BackupManagerWindow::ShowActivity() {
  if (!window_) return;
  const bool busy = setup_.host->Activity().Busy();
  for (const Id button : {Id::CreateButton, Id::DeleteButton, Id::RestoreButton}) {
    ::EnableWindow(Control(button), !busy);
  }
  const auto timer = static_cast<UINT_PTR>(Id::ProgressTimer);
  if (busy) {
    ::SetTimer(window_, timer, kProgressPeriodMilliseconds, nullptr);
  } else {
    ::KillTimer(window_, timer);
  }
  ShowProgress();
}

void BackupManagerWindow::ShowProgress() {
  const BackupActivity& activity = setup_.host->Activity();
  const std::shared_ptr<CopyProgress> progress = activity.Progress();
  const int total = progress->total.load();
  const int done = activity.Busy() ? progress->done.load() : 0;
  const std::string text = ProgressText(activity.Task(), done, total);
  if (text != shownProgress_) {
    shownProgress_ = text;
    SetWindowTextUtf8(Control(Id::ProgressText), text);
  }
  const HWND bar = Control(Id::Progress);
  ::SendMessageW(bar, PBM_SETRANGE32, 0, std::max(total, 1));
  ::SendMessageW(bar, PBM_SETPOS, done, 0);
}

std::optional<BackupPoint> BackupManagerWindow::SelectedPoint() const {
  const HWND list = Control(Id::List);
  const int row = ListView_GetNextItem(list, -1, LVNI_SELECTED);
  if (row < 0 || row >= static_cast<int>(listed_.size())) return std::nullopt;
  return listed_[static_cast<size_t>(row)];
}

// The list is read on the lister while the window goes on, so a click can ask for another
// refresh meanwhile; the gate runs it after this one instead of alongside it.
void BackupManagerWindow::RefreshBackupList() {
  refreshGate_.Run([this](std::function<void()> finished) {
    if (!window_) {
      finished();
      return;
    }
    ListView_DeleteAllItems(Control(Id::List));
    listed_.clear();
    auto wanted = std::make_shared<std::atomic<bool>>(true);
    listWanted_ = wanted;
    lister_.Run<std::vector<BackupPoint>>(
        [toolDirectory = setup_.places.toolDirectory, wanted] {
          return ListBackupPoints(toolDirectory, [&] { return wanted->load(); });
        },
        [this, wanted, finished = std::move(finished)](std::vector<BackupPoint> points) {
          // The window may have gone meanwhile, and may even be open again.
          if (wanted->load()) FillList(points);
          finished();
        });
  });
}

void BackupManagerWindow::FillList(const std::vector<BackupPoint>& points) {
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
  listed_ = std::move(points);
  if (!listed_.empty()) {
    ListView_SetItemState(list, 0, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(list, 0, FALSE);
  }
  ::InvalidateRect(list, nullptr, TRUE);
}

}  // namespace tidemoor
