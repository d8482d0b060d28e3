#include "backup/restore_operation.h"

#include "backup/restore_journal.h"
#include "common/server_paths.h"

namespace tidemoor {
namespace {

constexpr char kRevertTitle[] = " Revert";

std::string PointSavedDir(const BackupPlaces& places, std::string_view folderName) {
  return BackupPointDir(places.toolDirectory, folderName) + kBackupSavedFolderName;
}

// A sibling of the live save that does not exist yet. An earlier restore that was cut short may
// have left one behind, and it may be the user's only copy, so it is never reused.
std::string FreeSetAsideName(BackupFiles& files, const std::string& saveDataDir) {
  const std::string base = saveDataDir + kSetAsideSuffix;
  std::string name = base;
  for (int n = 2; files.Exists(name); ++n) name = base + std::to_string(n);
  return name;
}

std::string ParentDirectory(const std::string& path) {
  const size_t slash = path.find_last_of('\\');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

// The journal's file is written before the live save moves and removed after the last step.
void EndJournal(BackupFiles& files, const BackupPlaces& places) {
  files.DeleteOneFile(RestoreJournalFile(places.toolDirectory));
}

// The point's copy is made where the live save was (moved aside to setAside, empty when there
// was none); a copy that fails or is stopped puts the live save back.
void CopyPointIntoPlace(BackupHost& host, Prompt& prompt, const BackupPlaces& places,
                        const BackupPoint& point, const std::string& keptIn,
                        const RestoreJournal& journal) {
  const std::string source = PointSavedDir(places, point.FolderName);
  const std::string journalFile = RestoreJournalFile(places.toolDirectory);
  auto result = std::make_shared<CopyResult>();
  host.RunInBackground(
      [files = host.Files(), source, journalFile, toolDirectory = places.toolDirectory, journal,
       progress = host.Activity().Progress(), result] {
        *result = CopyWholeTree(*files, source, journal.save, ProgressOf(progress));
        if (!result->complete) {
          files->DeleteTree(journal.save);
        } else if (!journal.setAside.empty()) {
          RestoreJournal discarding = journal;
          discarding.step = RestoreStep::Discard;
          files->WriteTextFile(journalFile, JournalText(discarding, toolDirectory));
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
        const auto putBackOrNot = [&host, &prompt, places, point, setAside, result](bool putBack) {
          // Kept while the save is still aside: the next start tries again to put it back.
          if (putBack) EndJournal(*host.Files(), places);
          host.Log().Record("还原备份点 " + point.FolderName +
                            (result->stopped ? " 已取消"
                                             : WithCause(" 失败: 无法复制 " + result->failedPath,
                                                         result->error)) +
                            (putBack ? ", 原存档已放回" : ", 原存档保存在 " + setAside));
          host.Activity().End();
          if (!putBack) {
            // The live save is still whole where it was set aside; the user must learn where.
            prompt.Ask(kRestoreKeptAsideMessage + setAside, kRevertTitle, PromptStyle::Error);
            return;
          }
          if (result->stopped || host.Closing()) return;
          prompt.Ask(kRestoreFailedMessage, kRevertTitle, PromptStyle::Error);
        };
        if (setAside.empty()) {
          putBackOrNot(true);
        } else {
          host.MoveDirectory(setAside, live, putBackOrNot);
        }
      });
}

// The second half of a restore: the live save, already kept as a point (keptIn, empty when there
// was none), is moved aside and the point's copy made in its place.
void ReplaceLiveSave(BackupHost& host, Prompt& prompt, const BackupPlaces& places,
                     const BackupPoint& point, const std::string& keptIn) {
  const std::shared_ptr<BackupFiles> files = host.Files();
  const std::string& live = places.saveDataDir;
  const std::string journalFile = RestoreJournalFile(places.toolDirectory);
  RestoreJournal journal{point.FolderName, live, "", RestoreStep::Copy};
  if (files->Exists(live)) journal.setAside = FreeSetAsideName(*files, live);
  if (Outcome written =
          files->WriteTextFile(journalFile, JournalText(journal, places.toolDirectory));
      !written) {
    host.Log().Record(WithCause("还原备份点 " + point.FolderName + " 失败: 无法写入 " + journalFile,
                                written.Error()));
    host.Activity().End();
    prompt.Ask(kRestoreFailedMessage, kRevertTitle, PromptStyle::Error);
    return;
  }
  if (journal.setAside.empty()) {
    files->EnsureDirectory(ParentDirectory(live));
    CopyPointIntoPlace(host, prompt, places, point, keptIn, journal);
    return;
  }
  host.MoveDirectory(live, journal.setAside,
                     [&host, &prompt, places, point, keptIn, journal](bool moved) {
                       // Fails while a file of the save is still held open (a server that did
                       // not stop).
                       if (!moved) {
                         EndJournal(*host.Files(), places);
                         host.Activity().End();
                         prompt.Ask(kRestoreFailedMessage, kRevertTitle, PromptStyle::Error);
                         return;
                       }
                       CopyPointIntoPlace(host, prompt, places, point, keptIn, journal);
                     });
}

// The server has stopped: the save being replaced is kept first, whole, as a point of its own.
void KeepThenReplace(BackupHost& host, Prompt& prompt, const BackupPlaces& places,
                     const BackupPoint& point) {
  const std::shared_ptr<BackupFiles> files = host.Files();
  if (!files->Exists(places.saveDataDir)) {
    ReplaceLiveSave(host, prompt, places, point, "");
    return;
  }
  auto kept = std::make_shared<PointReport>();
  host.RunInBackground(
      [files,
       request =
           PointRequest{places.toolDirectory, places.saveDataDir, PointKind::BeforeRestore, {}},
       progress = host.Activity().Progress(),
       kept] { *kept = MakeBackupPoint(*files, request, ProgressOf(progress)); },
      [&host, &prompt, places, point, kept] {
        RecordPoint(host.Log(), *kept, PointKind::BeforeRestore);
        if (kept->outcome == PointOutcome::Made) {
          ReplaceLiveSave(host, prompt, places, point, kept->folderName);
          return;
        }
        host.Activity().End();
        if (kept->outcome == PointOutcome::Stopped || host.Closing()) return;
        prompt.Ask(kKeepBeforeRestoreFailedMessage + PointFailureReason(*kept), kRevertTitle,
                   PromptStyle::Error);
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
  // Asked to stop while the server stopped (the tool is closing), the restore ends before it
  // has touched anything.
  host.StopServer([&host, &prompt, places, point](bool stopped) {
    if (!stopped || host.Activity().StopRequested()) {
      host.Activity().End();
      return;
    }
    KeepThenReplace(host, prompt, places, point);
  });
}

void RepairInterruptedRestoreNow(BackupHost& host, Prompt& prompt, const BackupPlaces& places) {
  const RestoreRepair repair =
      RepairInterruptedRestore(*host.Files(), places.toolDirectory, places.saveDataDir);
  if (repair.outcome == RestoreRepair::Outcome::None) return;
  host.Log().Record(repair.logLine);
  if (!repair.message.empty()) prompt.Ask(repair.message, kRevertTitle, PromptStyle::StartUpError);
}

}  // namespace tidemoor
