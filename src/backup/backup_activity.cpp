#include "backup/backup_activity.h"

#include <algorithm>

namespace tidemoor {

bool BackupActivity::TryBegin(BackupTask task) {
  if (Busy()) return false;
  task_ = task;
  progress_ = std::make_shared<CopyProgress>();
  Tell();
  return true;
}

void BackupActivity::End() {
  task_ = BackupTask::None;
  Tell();
}

void BackupActivity::RequestStop() {
  progress_->stopRequested.store(true);
}

int BackupActivity::Watch(std::function<void()> changed) {
  watchers_.emplace_back(nextWatcher_, std::move(changed));
  return nextWatcher_++;
}

void BackupActivity::Unwatch(int id) {
  std::erase_if(watchers_, [id](const auto& watcher) { return watcher.first == id; });
}

// A watcher may add or remove watchers (a window closing, say): it works on a copy.
void BackupActivity::Tell() {
  const auto watchers = watchers_;
  for (const auto& [id, changed] : watchers) changed();
}

std::string ProgressText(BackupTask task, int done, int total) {
  switch (task) {
    case BackupTask::None:
      return "";
    case BackupTask::Delete:
      return "正在删除备份点...";
    case BackupTask::Point:
    case BackupTask::Restore:
      if (total == 0) return "正在准备复制...";
      return "已复制 " + std::to_string(std::min(done, total)) + "/" + std::to_string(total) +
             " 个文件";
  }
  return "";
}

}  // namespace tidemoor
