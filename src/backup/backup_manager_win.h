#pragma once
// The backup manager window 数据存档管理: the list of backup points and the buttons that make,
// delete and restore them; below them the progress of the running operation and how many
// automatic points are kept.

#include <windows.h>

#include <atomic>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "backup/backup_operations.h"
#include "backup/refresh_gate.h"
#include "backup/retention.h"
#include "platform/prompt.h"
#include "platform/tool_window_win.h"
#include "platform/worker_win.h"

namespace tidemoor {

// Control ids (also the timers' ids), so tests and the end-to-end driver find them.
enum class BackupManagerControl : int {
  Group = 201,     // 分组框1
  List,            // 备份列表框
  CreateButton,    // 按钮_创建现在备份
  DeleteButton,    // 按钮_删除备份
  RestoreButton,   // 按钮_还原到备份点
  FillTimer,       // 数据存档管理窗口_时钟_读取备份点列表
  Progress,        // the running operation's progress bar
  ProgressText,    // "已复制 n/N 个文件"
  RetentionGroup,  // how many automatic points are kept
  KeepLabel,
  KeepEdit,  // Backup_Keep
  KeepUnit,
  DaysLabel,
  DaysEdit,  // Backup_Keep_Days
  DaysUnit,
  ProgressTimer,
};

inline constexpr char kBackupManagerTitle[] = "数据存档管理";

struct BackupManagerSetup {
  HWND owner = nullptr;
  BackupPlaces places;
  Prompt* prompt = nullptr;  // every message of the window and its operations
  BackupHost* host = nullptr;
  // The tool's retention settings, shown and changed by the window.
  BackupRetention* retention = nullptr;
};

class BackupManagerWindow : public ToolWindow<BackupManagerWindow> {
 public:
  // The window grew below its list for the progress and the retention settings; the list and its
  // buttons keep their places.
  static constexpr ToolWindowKind kKind{L"TidemoorBackupManager", kBackupManagerTitle, 340, 634};

  // Opens the window over the given places, or brings it forward when it is open already (the
  // setup is then not used). Returns the window.
  HWND Open(BackupManagerSetup setup);

 private:
  friend class ToolWindow<BackupManagerWindow>;
  void OnCreate(UINT dpi);
  LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void CreateControls(UINT dpi);
  void PlaceControls(UINT dpi);
  void OnButton(BackupManagerControl id);
  void OnRetentionEdited();
  void ShowActivity();
  void ShowProgress();
  std::optional<BackupPoint> SelectedPoint() const;
  void RefreshBackupList();
  void FillList(const std::vector<BackupPoint>& points);

  BackupManagerSetup setup_;
  UniqueGdiObject font_;
  RefreshGate refreshGate_;
  // Reads the list off the window's thread: thousands of points take a while to read.
  Worker lister_;
  // Cleared as the window goes, so a listing under way stops reading.
  std::shared_ptr<std::atomic<bool>> listWanted_;
  int activityWatch_ = 0;
  bool showingRetention_ = false;
  std::string shownProgress_;
  // The points as listed, row by row: what a button acts on is the point the user saw, never one
  // pieced back together from the list's text.
  std::vector<BackupPoint> listed_;
};

}  // namespace tidemoor
