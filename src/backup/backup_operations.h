#pragma once
// Making, deleting and revealing backup points (restoring one is restore_operation.h). The machine
// (files, worker thread, server, event log, Explorer) is reached through BackupHost, so every
// decision here is tested with a fake; the Windows side implements it thinly. Messages go through
// the tool's Prompt.
//
// The long part of an operation (copying, deleting a tree) runs in the background; the rest, and
// what follows the long part, runs on the user-interface thread. One operation runs at a time.

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "backup/backup_activity.h"
#include "backup/backup_files.h"
#include "backup/backup_store.h"
#include "backup/backup_time.h"
#include "backup/point_maker.h"
#include "backup/retention.h"
#include "platform/event_log.h"
#include "platform/prompt.h"

namespace tidemoor {

class BackupHost {
 public:
  virtual ~BackupHost() = default;

  // The disk; the background work holds its own reference.
  virtual std::shared_ptr<BackupFiles> Files() = 0;
  // Runs work off the user-interface thread, then done back on it (in the order given).
  virtual void RunInBackground(std::function<void()> work, std::function<void()> done) = 0;
  virtual BackupActivity& Activity() = 0;
  virtual EventLog& Log() = 0;

  virtual bool ServerRunning() = 0;
  // The server is neither starting nor stopping: its save is not in the middle of changing.
  virtual bool ServerSettled() = 0;
  // Runs then on the user-interface thread a quarter of a second or so later.
  virtual void AfterAWhile(std::function<void()> then) = 0;
  // Asks the running server to write its world to disk before a point copies it; then runs once
  // the server has done so or given up, on the user-interface thread.
  virtual void SaveWorldFirst(std::function<void()> then) = 0;
  // done(true) on the user-interface thread once the server has ended, done(false) when it could
  // not be stopped now (a start or stop is under way). The tool closing meanwhile cancels the
  // stop: done never runs, and the operation ends there.
  virtual void StopServer(std::function<void(bool stopped)> done) = 0;
  // Renames a directory within its volume off the user-interface thread, waiting a little for a
  // server that was just stopped to let go of its files; done hears false when anything in it
  // stays held open.
  virtual void MoveDirectory(const std::string& from, const std::string& to,
                             std::function<void(bool moved)> done) = 0;
  // Opens Explorer with the file selected.
  virtual void RevealInExplorer(const std::string& path) = 0;
  // The main window is gone: nothing more is shown.
  virtual bool Closing() = 0;
};

// Where the operations work: the tool directory (no trailing backslash) holds the backup root;
// the save data directory is the server's Pal\Saved (no trailing backslash).
struct BackupPlaces {
  std::string toolDirectory;
  std::string saveDataDir;
};

inline constexpr char kBackupCreatedMessage[] = " 已创建现行备份点数据 ";
inline constexpr char kBackupFailedMessage[] = " 创建备份点失败 - 存档复制未完成 ";
inline constexpr char kAutoBackupFailedMessage[] = " 自动备份失败 - 存档复制未完成 ";
inline constexpr char kNoRoomMessage[] = " 磁盘空间不足 - 未创建备份点 ";
inline constexpr char kBackupBusyMessage[] = " 另一项备份操作正在进行 - 请稍后再试 ";
inline constexpr char kNoWorldMessage[] = " 存档中没有世界数据 (Level.sav) - 未创建备份点 ";
// Followed by the links, one a line.
inline constexpr char kLeftOutMessage[] = " 以下链接未能读取, 未包含在备份点中: ";

std::string DeleteQuestion(std::string_view displayTime);
// The file Explorer shows selected when a point is revealed: its index.
std::string RevealedFile(std::string_view toolDirectory, std::string_view folderName);

// The event log's line for a point that was made, or why it was not.
std::string PointEventText(const PointReport& report, PointKind kind);
// What a made point lacks, for the user; empty when it lacks nothing.
std::string LeftOutText(const PointReport& report);
// Why a point was not made, in the event log's words.
std::string PointFailureReason(const PointReport& report);
// The event log's lines for a point: the point, what it left out, what retention removed.
void RecordPoint(EventLog& log, const PointReport& report, PointKind kind);
// The copy engine's per-file callback over an operation's shared progress.
FileProgress ProgressOf(std::shared_ptr<CopyProgress> progress);

// 按钮_创建现在备份: makes a manual point in the background, then says whether it worked and
// rebuilds the list. The world is saved first while a server runs.
void OnCreateBackupClicked(BackupHost& host, Prompt& prompt, const BackupPlaces& places,
                           const BackupRetention& retention, std::function<void()> refreshList);

// A manual point another part of the tool needs before it changes the save. It shows no message
// of its own, as the caller tells the user what became of its change; finished hears whether the
// point was made (not while another backup operation runs). forStart: asked by a start before it
// launches the server, so the point is copied at once instead of waiting for a settled server.
void MakePointBeforeChange(BackupHost& host, const BackupPlaces& places,
                           const BackupRetention& retention, bool forStart,
                           std::function<void(bool made)> finished,
                           PointKind kind = PointKind::Manual);

// A manual point asked for away from the PC (from a chat): like 创建现在备份 but with no box;
// finished hears "" once it is made, otherwise why not in the event log's words.
void MakeRequestedPoint(BackupHost& host, const BackupPlaces& places,
                        const BackupRetention& retention,
                        std::function<void(std::string whyNot)> finished);

// What the automatic backup remembers between its ticks.
struct AutoBackupRecord {
  // A failed point has been reported and no point has succeeded since: a user away from the
  // machine finds one message, not a pile of them.
  bool failureReported = false;
  // The links the last point told of leaving out: the same ones are not told again.
  std::vector<std::string> leftOutReported;
  // Told the failure's text as it is reported, for the host away from the PC.
  std::function<void(std::string_view text)> failureAlert;
};

// A tick of the automatic backup that makes a point. A failure (a copy, or a full disk) is told
// once, until a point succeeds again; a tick that finds another operation running makes none.
void MakeAutomaticBackupPoint(BackupHost& host, Prompt& prompt, const BackupPlaces& places,
                              const BackupRetention& retention, AutoBackupRecord& record);

// Deletes the selected point after asking, then rebuilds the list.
void DeleteBackupPoint(BackupHost& host, Prompt& prompt, const BackupPlaces& places,
                       const std::optional<BackupPoint>& selected,
                       std::function<void()> refreshList);

// Opens Explorer on the selected point with its index file selected.
void RevealBackupPoint(BackupHost& host, const BackupPlaces& places,
                       const std::optional<BackupPoint>& selected);

// At start-up: what a killed tool left half made goes, in the background.
void RemoveUnfinishedPointsLater(BackupHost& host, const std::string& toolDirectory);

}  // namespace tidemoor
