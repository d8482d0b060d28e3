#include "backup/backup_operations.h"

#include "common/server_paths.h"

namespace tidemoor {
namespace {

constexpr char kRevertTitle[] = " Revert";

std::string PointSavedDir(const BackupPlaces& places, std::string_view folderName) {
  return BackupPointDir(places.toolDirectory, folderName) + kBackupSavedFolderName;
}

// A sibling of the live save that does not exist yet. An earlier restore that was cut short may
// have left one behind, and it may be the user's only copy, so it is never reused.
std::string FreeSetAsideName(BackupHost& host, const std::string& saveDataDir) {
  const std::string base = saveDataDir + "_BeforeRevert";
  std::string name = base;
  for (int n = 2; host.DirectoryExists(name); ++n) name = base + std::to_string(n);
  return name;
}

std::string ParentDirectory(const std::string& path) {
  const size_t slash = path.find_last_of('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

}  // namespace

std::string RestoreQuestion(std::string_view displayTime) {
  return " 是否还原存档至备份点 《 " + std::string(displayTime) + " 》 \r\n ————————————\r\n" +
         " 操作过程将会自动关闭服务端运行! ";
}

std::string RestoreDoneMessage(std::string_view displayTime) {
  return " 还原完成 - 时间: " + std::string(displayTime);
}

std::string DeleteQuestion(std::string_view displayTime) {
  return " 是否删除选定备份点《 " + std::string(displayTime) + " 》 ";
}

std::string RevealedFile(std::string_view toolDirectory, std::string_view folderName) {
  return BackupPointDir(toolDirectory, folderName) + kBackupIndexFileName;
}

bool CreateBackupPoint(BackupHost& host, const BackupPlaces& places) {
  std::string stamp = MakeBackupStamp(host.Now());
  while (host.DirectoryExists(BackupPointDir(places.toolDirectory, stamp))) {
    stamp = NextBackupStamp(stamp);
  }
  const std::string pointDir = BackupPointDir(places.toolDirectory, stamp);
  host.EnsureDirectory(pointDir);
  // A server that never ran has no save yet; the point is still made, without "Saved".
  const bool hasSave = host.DirectoryExists(places.saveDataDir);
  const bool copied =
      host.CopyFolderTree(places.saveDataDir, pointDir + kBackupSavedFolderName) || !hasSave;
  if (!copied ||
      !host.WriteIndexTime(pointDir + kBackupIndexFileName, DateTimeToText(host.Now()))) {
    host.DeleteDirectoryTree(pointDir.substr(0, pointDir.size() - 1));
    return false;
  }
  return true;
}

void OnCreateBackupClicked(BackupHost& host, Prompt& prompt, const BackupPlaces& places,
                           const std::function<void()>& refreshList) {
  if (CreateBackupPoint(host, places)) {
    prompt.Ask(kBackupCreatedMessage, " BackUp", PromptStyle::Plain);
  } else {
    prompt.Ask(kBackupFailedMessage, " BackUp", PromptStyle::Error);
  }
  refreshList();
}

void MakeAutomaticBackupPoint(BackupHost& host, Prompt& prompt, const BackupPlaces& places,
                              AutoBackupRecord& record) {
  if (CreateBackupPoint(host, places)) {
    record.failureReported = false;
    return;
  }
  if (record.failureReported) return;
  // Noted before the box shows: the next tick may come while it is open.
  record.failureReported = true;
  prompt.Ask(kAutoBackupFailedMessage, " BackUp", PromptStyle::Error);
}

void RestoreBackupPoint(BackupHost& host, Prompt& prompt, const BackupPlaces& places,
                        const std::optional<BackupPoint>& selected) {
  if (!selected) return;
  // Read once: the list may be refilled while the questions are open or the server stops.
  const BackupPoint point = *selected;
  if (!prompt.Confirm(RestoreQuestion(point.DisplayTime), kRevertTitle,
                      PromptStyle::WarningQuestion)) {
    return;
  }
  const std::string source = PointSavedDir(places, point.FolderName);
  if (!host.DirectoryExists(source)) {
    prompt.Ask(kRestoreIncompleteMessage, kRevertTitle, PromptStyle::Error);
    return;
  }

  if (!host.StopServer()) return;
  const std::string& live = places.saveDataDir;
  std::string setAside;
  if (host.DirectoryExists(live)) {
    setAside = FreeSetAsideName(host, live);
    // Fails while a file of the save is still held open (a server that did not stop).
    if (!host.MoveDirectory(live, setAside)) {
      prompt.Ask(kRestoreFailedMessage, kRevertTitle, PromptStyle::Error);
      return;
    }
  } else {
    host.EnsureDirectory(ParentDirectory(live));
  }

  if (!host.CopyFolderTree(source, live)) {
    host.DeleteDirectoryTree(live);
    if (!setAside.empty() && !host.MoveDirectory(setAside, live)) {
      // The live save is still whole where it was set aside; the user must learn where.
      prompt.Ask(kRestoreKeptAsideMessage + setAside, kRevertTitle, PromptStyle::Error);
      return;
    }
    prompt.Ask(kRestoreFailedMessage, kRevertTitle, PromptStyle::Error);
    return;
  }
  if (!setAside.empty()) host.DeleteDirectoryTree(setAside);
  prompt.Ask(RestoreDoneMessage(point.DisplayTime), " Success", PromptStyle::Information);
}

void DeleteBackupPoint(BackupHost& host, Prompt& prompt, const BackupPlaces& places,
                       const std::optional<BackupPoint>& selected,
                       const std::function<void()>& refreshList) {
  if (!selected) return;
  const BackupPoint point = *selected;
  if (!prompt.Confirm(DeleteQuestion(point.DisplayTime), " Delete", PromptStyle::WarningQuestion)) {
    return;
  }
  host.DeleteDirectoryTree(BackupRoot(places.toolDirectory) + point.FolderName);
  refreshList();
}

void RevealBackupPoint(BackupHost& host, const BackupPlaces& places,
                       const std::optional<BackupPoint>& selected) {
  if (!selected) return;
  host.RevealInExplorer(RevealedFile(places.toolDirectory, selected->FolderName));
}

}  // namespace tidemoor
