#pragma once
// The backup manager window 数据存档管理: the list of backup points and the buttons that make,
// delete and restore them.

#include <windows.h>

#include <functional>
#include <optional>

#include "backup/backup_host_win.h"
#include "backup/backup_operations.h"
#include "backup/refresh_gate.h"
#include "platform/prompt.h"
#include "platform/window_win.h"

namespace tidemoor {

// Control ids (also the fill timer's id), so tests and the end-to-end driver find them.
enum class BackupManagerControl : int {
  Group = 201,    // 分组框1
  List,           // 备份列表框
  CreateButton,   // 按钮_创建现在备份
  DeleteButton,   // 按钮_删除备份
  RestoreButton,  // 按钮_还原到备份点
  FillTimer,      // 数据存档管理窗口_时钟_读取备份点列表
};

inline constexpr char kBackupManagerTitle[] = "数据存档管理";

struct BackupManagerSetup {
  HWND owner = nullptr;
  BackupPlaces places;
  Prompt* prompt = nullptr;          // every message of the window and its operations
  std::function<bool()> stopServer;  // false when the tool began to close meanwhile
};

class BackupManagerWindow : public BaseWindow<BackupManagerWindow> {
 public:
  // Opens the window over the given places, or brings it forward when it is open already (the
  // setup is then not used). Returns the window.
  HWND Open(BackupManagerSetup setup);

  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);

 private:
  HWND Control(BackupManagerControl id) const;
  void CreateControls();
  void PlaceControls(UINT dpi);
  void OnButton(BackupManagerControl id);
  std::optional<BackupPoint> SelectedPoint() const;
  void RefreshBackupList();
  void FillList();

  BackupManagerSetup setup_;
  std::optional<WindowsBackupHost> host_;
  UniqueGdiObject font_;
  RefreshGate refreshGate_;
};

}  // namespace tidemoor
