#pragma once
// Making, restoring, deleting and revealing backup points. The machine (files, clock, server,
// message boxes, Explorer) is reached through BackupHost, so every decision here is tested with
// a fake; the Windows side implements it thinly. Messages go through the tool's Prompt.

#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "backup/backup_store.h"
#include "backup/backup_time.h"
#include "platform/prompt.h"

namespace tidemoor {

class BackupHost {
 public:
  virtual ~BackupHost() = default;

  virtual bool DirectoryExists(const std::string& path) = 0;
  // Creates the directory and every missing ancestor.
  virtual void EnsureDirectory(const std::string& path) = 0;
  // Copies source with everything below it to destination, which must not exist yet. Returns
  // whether everything was copied.
  virtual bool CopyFolderTree(const std::string& source, const std::string& destination) = 0;
  virtual bool DeleteDirectoryTree(const std::string& path) = 0;
  // Renames a directory within its volume; false when anything in it is held open.
  virtual bool MoveDirectory(const std::string& from, const std::string& to) = 0;
  // False when the index could not be written: the point is then not a point.
  virtual bool WriteIndexTime(const std::string& indexFile, const std::string& timeText) = 0;
  virtual LocalDateTime Now() = 0;
  // False when the tool began to close while the server stopped: the operation must end there.
  virtual bool StopServer() = 0;
  // Opens Explorer with the file selected.
  virtual void RevealInExplorer(const std::string& path) = 0;
};

// Where the operations work: the tool directory (no trailing backslash) holds the backup root;
// the save data directory is the server's Pal\Saved (no trailing backslash).
struct BackupPlaces {
  std::string toolDirectory;
  std::string saveDataDir;
};

inline constexpr char kBackupCreatedMessage[] = " 已创建现行备份点数据 ";
inline constexpr char kRestoreIncompleteMessage[] = " 备份点数据不完整 - 已取消还原 ";
inline constexpr char kRestoreFailedMessage[] = " 还原失败 - 原存档已保留 ";
// Followed by the path where the live save was set aside and, this time, stays.
inline constexpr char kRestoreKeptAsideMessage[] = " 还原失败 - 原存档保存在 ";
inline constexpr char kBackupFailedMessage[] = " 创建备份点失败 - 存档复制未完成 ";
inline constexpr char kAutoBackupFailedMessage[] = " 自动备份失败 - 存档复制未完成 ";

std::string RestoreQuestion(std::string_view displayTime);
std::string RestoreDoneMessage(std::string_view displayTime);
std::string DeleteQuestion(std::string_view displayTime);
// The file Explorer shows selected when a point is revealed: its index.
std::string RevealedFile(std::string_view toolDirectory, std::string_view folderName);

// Copies the live save into a point named by the current stamp and writes its index last, so a
// point whose making was interrupted is never listed. A point never replaces another: when the
// stamp's directory exists (two points in one second, a clock set back), the next free number
// names it. A copy or an index that fails takes the point away again (a restore from half a save
// would lose the rest) and gives false.
bool CreateBackupPoint(BackupHost& host, const BackupPlaces& places);

// 按钮_创建现在备份: makes a point, says whether it worked, and rebuilds the list.
void OnCreateBackupClicked(BackupHost& host, Prompt& prompt, const BackupPlaces& places,
                           const std::function<void()>& refreshList);

// What the automatic backup remembers between its ticks.
struct AutoBackupRecord {
  // A failed point has been reported and no point has succeeded since: a user away from the
  // machine finds one message, not a pile of them.
  bool failureReported = false;
};

// A tick of the automatic backup that makes a point: a failure is told once, until a point
// succeeds again.
void MakeAutomaticBackupPoint(BackupHost& host, Prompt& prompt, const BackupPlaces& places,
                              AutoBackupRecord& record);

// Replaces the live save with the selected point's copy after stopping the server. The live save
// is only moved aside until the copy has succeeded, so a failed restore keeps it.
void RestoreBackupPoint(BackupHost& host, Prompt& prompt, const BackupPlaces& places,
                        const std::optional<BackupPoint>& selected);

// Deletes the selected point after asking, then rebuilds the list.
void DeleteBackupPoint(BackupHost& host, Prompt& prompt, const BackupPlaces& places,
                       const std::optional<BackupPoint>& selected,
                       const std::function<void()>& refreshList);

// Opens Explorer on the selected point with its index file selected.
void RevealBackupPoint(BackupHost& host, const BackupPlaces& places,
                       const std::optional<BackupPoint>& selected);

}  // namespace tidemoor
