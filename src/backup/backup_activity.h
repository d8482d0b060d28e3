#pragma once
// One backup operation at a time: making a point (by hand or on the timer), restoring one, or
// deleting one. The running operation's progress is shared with the worker thread that copies;
// everything else here is used on the user-interface thread only.

#include <atomic>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tidemoor {

enum class BackupTask { None, Point, Restore, Delete };

// Written by the worker thread after each file, read by the window's progress display.
struct CopyProgress {
  std::atomic<int> done{0};
  std::atomic<int> total{0};  // 0 until the files have been counted
  std::atomic<bool> stopRequested{false};

  // The copy engine's per-file callback: records the count and says whether to go on.
  bool Advance(int doneFiles, int totalFiles) {
    total.store(totalFiles, std::memory_order_relaxed);
    done.store(doneFiles, std::memory_order_relaxed);
    return !stopRequested.load(std::memory_order_relaxed);
  }
};

class BackupActivity {
 public:
  // Starts an operation unless one runs; every watcher then hears of it.
  bool TryBegin(BackupTask task);
  void End();

  bool Busy() const { return task_ != BackupTask::None; }
  BackupTask Task() const { return task_; }
  // The running operation's progress; a new one for each operation, so work left over from an
  // earlier one can never move it.
  std::shared_ptr<CopyProgress> Progress() const { return progress_; }
  // Asks the running copy to stop after the file it is at.
  void RequestStop();
  bool StopRequested() const { return progress_->stopRequested.load(); }

  // changed runs whenever an operation begins or ends. Returns what Unwatch takes.
  int Watch(std::function<void()> changed);
  void Unwatch(int id);

 private:
  void Tell();

  BackupTask task_ = BackupTask::None;
  std::shared_ptr<CopyProgress> progress_ = std::make_shared<CopyProgress>();
  std::vector<std::pair<int, std::function<void()>>> watchers_;
  int nextWatcher_ = 1;
};

// What the backup manager shows under its list while an operation runs: "已复制 n/N 个文件"
// while files are copied, and what is happening before that; empty when nothing runs.
std::string ProgressText(BackupTask task, int done, int total);

}  // namespace tidemoor
