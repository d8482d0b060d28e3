#include "backup/backup_operations.h"

#include "common/server_paths.h"

namespace tidemoor {
namespace {

constexpr char kBackUpTitle[] = " BackUp";
constexpr char kRevertTitle[] = " Revert";

std::string PointSavedDir(const BackupPlaces& places, std::string_view folderName) {
  return BackupPointDir(places.toolDirectory, folderName) + kBackupSavedFolderName;
}

// A sibling of the live save that does not exist yet. An earlier restore that was cut short may
// have left one behind, and it may be the user's only copy, so it is never reused.
std::string FreeSetAsideName(BackupFiles& files, const std::string& saveDataDir) {
  const std::string base = saveDataDir + "_BeforeRevert";
  std::string name = base;
  for (int n = 2; files.Exists(name); ++n) name = base + std::to_string(n);
  return name;
}

std::string ParentDirectory(const std::string& path) {
  const size_t slash = path.find_last_of('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

FileProgress ProgressOf(std::shared_ptr<CopyProgress> progress) {
  return [progress](int done, int total) { return progress->Advance(done, total); };
}

std::string KindText(PointKind kind) {
  return kind == PointKind::Automatic ? "自动" : "手动";
}

void RecordPoint(EventLog& log, const PointReport& report, PointKind kind) {
  log.Record(PointEventText(report, kind));
  if (report.outcome != PointOutcome::Made) return;
  for (const std::string& link : report.skippedLinks) {
    log.Record("备份点 " + report.folderName + " 未包含链接 " + link + " (链接不跟随, 不复制)");
  }
  for (const std::string& name : report.expiredPoints) {
    log.Record("按保留设置删除自动备份点 " + name);
  }
  for (const std::string& name : report.stuckPoints) {
    log.Record("按保留设置应删除的自动备份点 " + name + " 未能删除 (文件被占用)");
  }
}

// Saves the world first while a server runs, then makes the point in the background. The
// activity has begun; it ends, and the point is logged, before finished runs.
void StartPoint(BackupHost& host, PointRequest request,
                std::function<void(const PointReport&)> finished) {
  auto copy = [&host, request = std::move(request), finished = std::move(finished)] {
    auto report = std::make_shared<PointReport>();
    host.RunInBackground(
        [files = host.Files(), request, progress = host.Activity().Progress(), report] {
          *report = MakeBackupPoint(*files, request, ProgressOf(progress));
        },
        [&host, report, finished, kind = request.kind] {
          RecordPoint(host.Log(), *report, kind);
          host.Activity().End();
          finished(*report);
        });
  };
  if (host.ServerRunning()) {
    host.SaveWorldFirst(std::move(copy));
  } else {
    copy();
  }
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

std::string PointEventText(const PointReport& report, PointKind kind) {
  const std::string failed = "创建备份点失败 (" + KindText(kind) + "): ";
  switch (report.outcome) {
    case PointOutcome::Made:
      return "创建备份点 " + report.folderName + " (" + KindText(kind) + "): 复制 " +
             std::to_string(report.copiedFiles) + " 个文件, 链接 " +
             std::to_string(report.sharedFiles) + " 个未改动的文件, 复制 " +
             std::to_string(report.bytesCopied) + " 字节, 用时 " +
             std::to_string(report.milliseconds) + " 毫秒";
    case PointOutcome::CopyFailed:
      return failed + "无法复制 " + report.failedPath;
    case PointOutcome::IndexFailed:
      return failed + "索引文件无法写入";
    case PointOutcome::NoRoom:
      return failed + "磁盘空间不足, 需要 " + std::to_string(report.bytesNeeded) + " 字节, 可用 " +
             std::to_string(report.bytesFree) + " 字节";
    case PointOutcome::Stopped:
      return "创建备份点已取消 (" + KindText(kind) + ")";
  }
  return failed;
}

void OnCreateBackupClicked(BackupHost& host, Prompt& prompt, const BackupPlaces& places,
                           const BackupRetention& retention, std::function<void()> refreshList) {
  if (!host.Activity().TryBegin(BackupTask::Point)) {
    prompt.Ask(kBackupBusyMessage, kBackUpTitle, PromptStyle::Information);
    return;
  }
  StartPoint(host, {places.toolDirectory, places.saveDataDir, PointKind::Manual, retention},
             [&host, &prompt, refreshList = std::move(refreshList)](const PointReport& report) {
               if (report.outcome == PointOutcome::Stopped || host.Closing()) return;
               if (report.outcome == PointOutcome::Made) {
                 prompt.Ask(kBackupCreatedMessage, kBackUpTitle, PromptStyle::Plain);
               } else {
                 prompt.Ask(
                     report.outcome == PointOutcome::NoRoom ? kNoRoomMessage : kBackupFailedMessage,
                     kBackUpTitle, PromptStyle::Error);
               }
               refreshList();
             });
}

void MakePointBeforeChange(BackupHost& host, const BackupPlaces& places,
                           const BackupRetention& retention,
                           std::function<void(bool made)> finished) {
  if (!host.Activity().TryBegin(BackupTask::Point)) {
    host.Log().Record("创建备份点跳过: 另一项备份操作正在进行");
    finished(false);
    return;
  }
  StartPoint(host, {places.toolDirectory, places.saveDataDir, PointKind::Manual, retention},
             [finished = std::move(finished)](const PointReport& report) {
               finished(report.outcome == PointOutcome::Made);
             });
}

void MakeAutomaticBackupPoint(BackupHost& host, Prompt& prompt, const BackupPlaces& places,
                              const BackupRetention& retention, AutoBackupRecord& record) {
  if (!host.Activity().TryBegin(BackupTask::Point)) {
    host.Log().Record("自动备份跳过: 另一项备份操作正在进行");
    return;
  }
  StartPoint(
      host, {places.toolDirectory, places.saveDataDir, PointKind::Automatic, retention},
      [&host, &prompt, &record](const PointReport& report) {
        if (report.outcome == PointOutcome::Made) {
          record.failureReported = false;
          return;
        }
        if (report.outcome == PointOutcome::Stopped || record.failureReported || host.Closing()) {
          return;
        }
        // Noted before the box shows: the next tick may come while it is open.
        record.failureReported = true;
        prompt.Ask(
            report.outcome == PointOutcome::NoRoom ? kNoRoomMessage : kAutoBackupFailedMessage,
            kBackUpTitle, PromptStyle::Error);
      });
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
  const std::shared_ptr<BackupFiles> files = host.Files();
  const std::string source = PointSavedDir(places, point.FolderName);
  if (!files->Exists(source)) {
    prompt.Ask(kRestoreIncompleteMessage, kRevertTitle, PromptStyle::Error);
    return;
  }
  BackupActivity& activity = host.Activity();
  if (!activity.TryBegin(BackupTask::Restore)) {
    prompt.Ask(kBackupBusyMessage, kRevertTitle, PromptStyle::Information);
    return;
  }

  if (!host.StopServer()) {
    activity.End();
    return;
  }
  const std::string& live = places.saveDataDir;
  std::string setAside;
  if (files->Exists(live)) {
    setAside = FreeSetAsideName(*files, live);
    // Fails while a file of the save is still held open (a server that did not stop).
    if (!host.MoveDirectory(live, setAside)) {
      activity.End();
      prompt.Ask(kRestoreFailedMessage, kRevertTitle, PromptStyle::Error);
      return;
    }
  } else {
    files->EnsureDirectory(ParentDirectory(live));
  }

  auto result = std::make_shared<CopyResult>();
  host.RunInBackground(
      [files, source, live, setAside, progress = activity.Progress(), result] {
        *result = CopyWholeTree(*files, source, live, ProgressOf(progress));
        if (!result->complete) {
          files->DeleteTree(live);
        } else if (!setAside.empty()) {
          files->DeleteTree(setAside);
        }
      },
      [&host, &prompt, point, live, setAside, result] {
        if (result->complete) {
          host.Log().Record("还原备份点 " + point.FolderName + ": 复制 " +
                            std::to_string(result->copiedFiles) + " 个文件");
          host.Activity().End();
          if (!host.Closing()) {
            prompt.Ask(RestoreDoneMessage(point.DisplayTime), " Success", PromptStyle::Information);
          }
          return;
        }
        const bool putBack = setAside.empty() || host.MoveDirectory(setAside, live);
        host.Log().Record("还原备份点 " + point.FolderName +
                          (result->stopped ? " 已取消" : " 失败: 无法复制 " + result->failedPath) +
                          (putBack ? ", 原存档已放回" : ", 原存档保存在 " + setAside));
        host.Activity().End();
        if (!putBack) {
          // The live save is still whole where it was set aside; the user must learn where.
          prompt.Ask(kRestoreKeptAsideMessage + setAside, kRevertTitle, PromptStyle::Error);
          return;
        }
        if (result->stopped || host.Closing()) return;
        prompt.Ask(kRestoreFailedMessage, kRevertTitle, PromptStyle::Error);
      });
}

void DeleteBackupPoint(BackupHost& host, Prompt& prompt, const BackupPlaces& places,
                       const std::optional<BackupPoint>& selected,
                       std::function<void()> refreshList) {
  if (!selected) return;
  const BackupPoint point = *selected;
  if (!prompt.Confirm(DeleteQuestion(point.DisplayTime), " Delete", PromptStyle::WarningQuestion)) {
    return;
  }
  if (!host.Activity().TryBegin(BackupTask::Delete)) {
    prompt.Ask(kBackupBusyMessage, " Delete", PromptStyle::Information);
    return;
  }
  auto gone = std::make_shared<bool>(false);
  host.RunInBackground(
      [files = host.Files(), tool = places.toolDirectory, name = point.FolderName, gone] {
        *gone = DeleteWholePoint(*files, tool, name);
      },
      [&host, name = point.FolderName, gone, refreshList = std::move(refreshList)] {
        host.Log().Record(*gone ? "删除备份点 " + name
                                : "备份点 " + name + " 未能完全删除 (文件被占用)");
        host.Activity().End();
        if (!host.Closing()) refreshList();
      });
}

void RevealBackupPoint(BackupHost& host, const BackupPlaces& places,
                       const std::optional<BackupPoint>& selected) {
  if (!selected) return;
  host.RevealInExplorer(RevealedFile(places.toolDirectory, selected->FolderName));
}

void RemoveUnfinishedPointsLater(BackupHost& host, const std::string& toolDirectory) {
  auto removed = std::make_shared<std::vector<std::string>>();
  host.RunInBackground([files = host.Files(), toolDirectory,
                        removed] { *removed = RemoveUnfinishedPoints(*files, toolDirectory); },
                       [&host, removed] {
                         for (const std::string& name : *removed) {
                           host.Log().Record("删除上次未完成的备份点 " + name);
                         }
                       });
}

}  // namespace tidemoor
