#include "backup/backup_operations.h"

#include "backup/restore_journal.h"
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
  switch (kind) {
    case PointKind::Automatic:
      return "自动";
    case PointKind::BeforeRestore:
      return "还原前";
    case PointKind::Manual:
      break;
  }
  return "手动";
}

// Why a point was not made, in the event log's words.
std::string FailureReason(const PointReport& report) {
  switch (report.outcome) {
    case PointOutcome::CopyFailed:
      return "无法复制 " + report.failedPath;
    case PointOutcome::IndexFailed:
      return "索引文件无法写入";
    case PointOutcome::NoRoom:
      return "磁盘空间不足, 需要 " + std::to_string(report.bytesNeeded) + " 字节, 可用 " +
             std::to_string(report.bytesFree) + " 字节";
    case PointOutcome::NoWorld:
      return "存档中没有世界数据 (Level.sav)";
    case PointOutcome::Made:
    case PointOutcome::Stopped:
      break;
  }
  return "";
}

std::string FailureMessage(PointOutcome outcome, const char* copyFailed) {
  switch (outcome) {
    case PointOutcome::NoRoom:
      return kNoRoomMessage;
    case PointOutcome::NoWorld:
      return kNoWorldMessage;
    default:
      return copyFailed;
  }
}

// The journal's file is written before the live save moves and removed after the last step.
void EndJournal(BackupFiles& files, const BackupPlaces& places) {
  files.DeleteOneFile(RestoreJournalFile(places.toolDirectory));
}

// A point is not copied from a save the server is writing as it starts or stops: it waits until
// the server runs or has stopped, or until it is asked to stop (it then stops before it begins).
void WhenServerSettled(BackupHost& host, std::function<void()> then) {
  if (host.ServerSettled() || host.Activity().StopRequested()) {
    then();
    return;
  }
  host.AfterAWhile([&host, then = std::move(then)] { WhenServerSettled(host, then); });
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
  WhenServerSettled(host, [&host, copy = std::move(copy)] {
    if (host.ServerRunning()) {
      host.SaveWorldFirst(copy);
    } else {
      copy();
    }
  });
}

}  // namespace

std::string RestoreQuestion(std::string_view displayTime) {
  return " 是否还原存档至备份点 《 " + std::string(displayTime) + " 》 \r\n ————————————\r\n" +
         " 操作过程将会自动关闭服务端运行! \r\n (当前存档会先保存为一个还原前自动备份点) ";
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
  switch (report.outcome) {
    case PointOutcome::Made:
      return "创建备份点 " + report.folderName + " (" + KindText(kind) + "): 复制 " +
             std::to_string(report.copiedFiles) + " 个文件, 链接 " +
             std::to_string(report.sharedFiles) + " 个未改动的文件, 复制 " +
             std::to_string(report.bytesCopied) + " 字节, 用时 " +
             std::to_string(report.milliseconds) + " 毫秒";
    case PointOutcome::Stopped:
      return "创建备份点已取消 (" + KindText(kind) + ")";
    default:
      return "创建备份点失败 (" + KindText(kind) + "): " + FailureReason(report);
  }
}

std::string LeftOutText(const PointReport& report) {
  if (report.skippedLinks.empty()) return "";
  std::string text = kLeftOutMessage;
  for (const std::string& link : report.skippedLinks) text += "\r\n " + link;
  return text;
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
               if (report.outcome != PointOutcome::Made) {
                 prompt.Ask(FailureMessage(report.outcome, kBackupFailedMessage), kBackUpTitle,
                            PromptStyle::Error);
               } else if (const std::string leftOut = LeftOutText(report); !leftOut.empty()) {
                 prompt.Ask(kBackupCreatedMessage + std::string("\r\n") + leftOut, kBackUpTitle,
                            PromptStyle::Information);
               } else {
                 prompt.Ask(kBackupCreatedMessage, kBackUpTitle, PromptStyle::Plain);
               }
               refreshList();
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
          if (report.skippedLinks == record.leftOutReported || host.Closing()) return;
          record.leftOutReported = report.skippedLinks;
          if (!report.skippedLinks.empty()) {
            prompt.Ask(LeftOutText(report), kBackUpTitle, PromptStyle::Information);
          }
          return;
        }
        if (report.outcome == PointOutcome::Stopped || record.failureReported || host.Closing()) {
          return;
        }
        // Noted before the box shows: the next tick may come while it is open.
        record.failureReported = true;
        prompt.Ask(FailureMessage(report.outcome, kAutoBackupFailedMessage), kBackUpTitle,
                   PromptStyle::Error);
      });
}

namespace {

// The second half of a restore: the live save, already kept as a point (keptIn, empty when there
// was none), is moved aside and the point's copy made in its place.
void ReplaceLiveSave(BackupHost& host, Prompt& prompt, const BackupPlaces& places,
                     const BackupPoint& point, const std::string& keptIn) {
  const std::shared_ptr<BackupFiles> files = host.Files();
  const std::string source = PointSavedDir(places, point.FolderName);
  const std::string& live = places.saveDataDir;
  const std::string journalFile = RestoreJournalFile(places.toolDirectory);
  RestoreJournal journal{point.FolderName, live, "", RestoreStep::Copy};
  if (files->Exists(live)) journal.setAside = FreeSetAsideName(*files, live);
  const auto refuse = [&] {
    host.Activity().End();
    prompt.Ask(kRestoreFailedMessage, kRevertTitle, PromptStyle::Error);
  };
  if (!files->WriteTextFile(journalFile, JournalText(journal))) {
    host.Log().Record("还原备份点 " + point.FolderName + " 失败: 无法写入 " + journalFile);
    refuse();
    return;
  }
  if (!journal.setAside.empty()) {
    // Fails while a file of the save is still held open (a server that did not stop).
    if (!host.MoveDirectory(live, journal.setAside)) {
      EndJournal(*files, places);
      refuse();
      return;
    }
  } else {
    files->EnsureDirectory(ParentDirectory(live));
  }

  auto result = std::make_shared<CopyResult>();
  host.RunInBackground(
      [files, source, journalFile, journal, progress = host.Activity().Progress(), result] {
        *result = CopyWholeTree(*files, source, journal.save, ProgressOf(progress));
        if (!result->complete) {
          files->DeleteTree(journal.save);
        } else if (!journal.setAside.empty()) {
          RestoreJournal discarding = journal;
          discarding.step = RestoreStep::Discard;
          files->WriteTextFile(journalFile, JournalText(discarding));
          files->DeleteTree(journal.setAside);
        }
      },
      [&host, &prompt, places, point, keptIn, setAside = journal.setAside, result] {
        const std::string& live = places.saveDataDir;
        const std::string kept = keptIn.empty() ? "" : ", 原存档已保存为还原前自动备份点 " + keptIn;
        if (result->complete) {
          EndJournal(*host.Files(), places);
          host.Log().Record("还原备份点 " + point.FolderName + ": 复制 " +
                            std::to_string(result->copiedFiles) + " 个文件" + kept);
          host.Activity().End();
          if (!host.Closing()) {
            prompt.Ask(RestoreDoneMessage(point.DisplayTime), " Success", PromptStyle::Information);
          }
          return;
        }
        const bool putBack = setAside.empty() || host.MoveDirectory(setAside, live);
        // Kept while the save is still aside: the next start tries again to put it back.
        if (putBack) EndJournal(*host.Files(), places);
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

}  // namespace

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
  // A point made through a link that was not read holds no worlds: restoring it would leave the
  // server without any.
  if (!files->Exists(JoinPath(source, "SaveGames"))) {
    prompt.Ask(kRestoreNoWorldMessage, kRevertTitle, PromptStyle::Error);
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
  if (!files->Exists(places.saveDataDir)) {
    ReplaceLiveSave(host, prompt, places, point, "");
    return;
  }
  // The save being replaced is kept first, whole, as a point of its own.
  auto kept = std::make_shared<PointReport>();
  host.RunInBackground(
      [files,
       request =
           PointRequest{places.toolDirectory, places.saveDataDir, PointKind::BeforeRestore, {}},
       progress = activity.Progress(),
       kept] { *kept = MakeBackupPoint(*files, request, ProgressOf(progress)); },
      [&host, &prompt, places, point, kept] {
        RecordPoint(host.Log(), *kept, PointKind::BeforeRestore);
        if (kept->outcome == PointOutcome::Made) {
          ReplaceLiveSave(host, prompt, places, point, kept->folderName);
          return;
        }
        host.Activity().End();
        if (kept->outcome == PointOutcome::Stopped || host.Closing()) return;
        prompt.Ask(kKeepBeforeRestoreFailedMessage + FailureReason(*kept), kRevertTitle,
                   PromptStyle::Error);
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

void RepairInterruptedRestoreNow(BackupHost& host, Prompt& prompt,
                                 const std::string& toolDirectory) {
  const RestoreRepair repair =
      RepairInterruptedRestore(*host.Files(), RestoreJournalFile(toolDirectory));
  if (repair.outcome == RestoreRepair::Outcome::None) return;
  host.Log().Record(repair.logLine);
  if (!repair.message.empty()) prompt.Ask(repair.message, kRevertTitle, PromptStyle::StartUpError);
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
