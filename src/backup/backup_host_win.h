#pragma once
// The backup operations' view of the machine, on Windows: the disk, a worker thread for the long
// copies, the one-at-a-time activity, and what the tool around the backups supplies.

#include <functional>
#include <memory>

#include "backup/backup_operations.h"
#include "platform/worker_win.h"

namespace tidemoor {

// What the rest of the tool lends the backups.
struct BackupHostWiring {
  // Stops the server and hands back whether it ended; a stop the tool's closing cancelled never
  // hands back.
  std::function<void(std::function<void(bool)>)> stopServer;
  std::function<bool()> serverRunning;  // a point then asks the server to save first
  // Asks the server to write its world and runs the function once it has (or gave up).
  std::function<void(std::function<void()> then)> saveWorld;
  std::function<bool()> closing;  // the main window is gone
  EventLog* log = nullptr;
  std::function<bool()> serverSettled;  // neither starting nor stopping; none: always
};

class WindowsBackupHost : public BackupHost {
 public:
  // Made on the user-interface thread, which the background work reports back to.
  explicit WindowsBackupHost(BackupHostWiring wiring);

  std::shared_ptr<BackupFiles> Files() override { return files_; }
  void RunInBackground(std::function<void()> work, std::function<void()> done) override;
  BackupActivity& Activity() override { return activity_; }
  EventLog& Log() override { return *wiring_.log; }
  bool ServerRunning() override;
  bool ServerSettled() override;
  void AfterAWhile(std::function<void()> then) override;
  void SaveWorldFirst(std::function<void()> then) override;
  void StopServer(std::function<void(bool)> done) override;
  void MoveDirectory(const std::string& from, const std::string& to,
                     std::function<void(bool)> done) override;
  void RevealInExplorer(const std::string& path) override;
  bool Closing() override;

 protected:
  // Tests hand in a disk of their own.
  WindowsBackupHost(BackupHostWiring wiring, std::shared_ptr<BackupFiles> files);

 private:
  BackupHostWiring wiring_;
  std::shared_ptr<BackupFiles> files_;
  BackupActivity activity_;
  Worker worker_;
};

}  // namespace tidemoor
