#pragma once
// The backup manager window 数据存档管理: the list of backup points and the buttons that make,
// delete and restore them.

#include <windows.h>

#include <functional>

#include "backup/backup_operations.h"

namespace tidemoor {

void OpenBackupManager();  // 标签12 pressed
void OnAutoBackupTick();   // 时钟_定时保存玩家存档

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
  std::function<bool()> stopServer;
};

// Opens the one backup manager window over the given places, or brings it forward when it is
// open already. Returns the window.
HWND OpenBackupManager(BackupManagerSetup setup);

}  // namespace tidemoor
