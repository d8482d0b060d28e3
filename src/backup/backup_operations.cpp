#include "backup/backup_operations.h"

#include "common/server_paths.h"

namespace tidemoor {
namespace {

constexpr char kBackUpTitle[] = " BackUp";

std::string KindText(PointKind kind) {
  switch (kind) {
    case PointKind::Automatic:
      return "自动";
    case PointKind::BeforeRestore:
      return "还原前";
    case PointKind::BeforeMods:
      return "模组变更前";
    case PointKind::Manual:
      break;
  }
  return "手动";
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

// A point is not copied from a save the server is writing as it starts or stops: it waits until
// the server runs or has stopped, or until it is asked to stop (it then stops before it begins).
void WhenServerSettled(BackupHost& host, std::function<void()> then) {
  if (host.ServerSettled() || host.Activity().StopRequested()) {
    then();
    return;
  }
  host.AfterAWhile([&host, then = std::move(then)] { WhenServerSettled(host, then); });
}

// Makes the point in the background. The activity has begun; it ends, and the point is logged,
// before finished runs.
void CopyPoint(BackupHost& host, const PointRequest& request,
               std::function<void(const PointReport&)> finished) {
  auto report = std::make_shared<PointReport>();
  host.RunInBackground(
      [files = host.Files(), request, progress = host.Activity().Progress(), report] {
        *report = MakeBackupPoint(*files, request, ProgressOf(progress));
      },
      [&host, report, finished = std::move(finished), kind = request.kind] {
        RecordPoint(host.Log(), *report, kind);
        host.Activity().End();
        finished(*report);
      });
}

// Saves the world first while a server runs, then makes the point.
void StartPoint(BackupHost& host, PointRequest request,
                std::function<void(const PointReport&)> finished) {
  WhenServerSettled(host, [&host, request = std::move(request), finished = std::move(finished)] {
    if (host.ServerRunning()) {
      host.SaveWorldFirst([&host, request, finished] { CopyPoint(host, request, finished); });
    } else {
      CopyPoint(host, request, finished);
    }
  });
}

}  // namespace

std::string PointFailureReason(const PointReport& report) {
  switch (report.outcome) {
    case PointOutcome::CopyFailed:
      return WithCause("无法复制 " + report.failedPath, report.error);
    case PointOutcome::IndexFailed:
      return WithCause("索引文件无法写入", report.error);
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

FileProgress ProgressOf(std::shared_ptr<CopyProgress> progress) {
  return [progress](int done, int total) { return progress->Advance(done, total); };
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
  for (size_t i = 0; i < report.stuckPoints.size(); ++i) {
    log.Record(WithCause("按保留设置应删除的自动备份点 " + report.stuckPoints[i] + " 未能删除",
                         report.stuckCauses[i]));
  }
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
      return "创建备份点失败 (" + KindText(kind) + "): " + PointFailureReason(report);
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

void MakePointBeforeChange(BackupHost& host, const BackupPlaces& places,
                           const BackupRetention& retention, bool forStart,
                           std::function<void(bool made)> finished, PointKind kind) {
  if (!host.Activity().TryBegin(BackupTask::Point)) {
    host.Log().Record("创建备份点跳过: 另一项备份操作正在进行");
    finished(false);
    return;
  }
  const PointRequest request{places.toolDirectory, places.saveDataDir, kind, retention};
  auto report = [finished = std::move(finished)](const PointReport& made) {
    finished(made.outcome == PointOutcome::Made);
  };
  // A start asks before its launch: no server writes the save, and waiting for the server to
  // settle would wait for the very start that waits for this point.
  if (forStart) {
    CopyPoint(host, request, std::move(report));
  } else {
    StartPoint(host, request, std::move(report));
  }
}

void MakeRequestedPoint(BackupHost& host, const BackupPlaces& places,
                        const BackupRetention& retention,
                        std::function<void(std::string whyNot)> finished) {
  if (!host.Activity().TryBegin(BackupTask::Point)) {
    host.Log().Record("创建备份点跳过: 另一项备份操作正在进行");
    finished("另一项备份操作正在进行");
    return;
  }
  StartPoint(
      host, {places.toolDirectory, places.saveDataDir, PointKind::Manual, retention},
      [finished = std::move(finished)](const PointReport& report) {
        finished(report.outcome == PointOutcome::Made ? std::string() : PointFailureReason(report));
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
        const std::string message = FailureMessage(report.outcome, kAutoBackupFailedMessage);
        if (record.failureAlert) record.failureAlert(message);
        prompt.Ask(message, kBackUpTitle, PromptStyle::Error);
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
  auto gone = std::make_shared<Outcome>();
  host.RunInBackground(
      [files = host.Files(), tool = places.toolDirectory, name = point.FolderName, gone] {
        *gone = DeleteWholePoint(*files, tool, name);
      },
      [&host, name = point.FolderName, gone, refreshList = std::move(refreshList)] {
        host.Log().Record(*gone ? "删除备份点 " + name
                                : WithCause("备份点 " + name + " 未能完全删除", gone->Error()));
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
