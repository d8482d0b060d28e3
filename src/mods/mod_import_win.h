#pragma once
// Bringing mods into Mods\Workshop, on a lane of its own: each mod is put together beside the
// server (PaLWorld_Data\ModImport) and takes its place in one move once it is whole, so neither the
// server nor the mod manager ever sees half a mod, and a folder it replaces goes to the Recycle Bin
// whole, never mixed with the new one.

#include <atomic>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/server_paths.h"
#include "mods/mod_archive.h"
#include "mods/mod_origins.h"
#include "mods/mods_on_disk_win.h"
#include "platform/worker_win.h"

namespace tidemoor {

// An archive read whole and planned; the plan points into the bytes, so neither moves again.
struct PlannedArchive {
  PlannedArchive() = default;
  PlannedArchive(const PlannedArchive&) = delete;
  PlannedArchive& operator=(const PlannedArchive&) = delete;
  std::string bytes;
  ArchiveImportPlan plan;
};

// One mod to bring in.
struct ModImport {
  std::string shownName;     // for the questions, the progress and the event log
  std::string folderName;    // the folder it becomes under Mods\Workshop
  std::string from;          // where it comes from, for the event log
  std::string sourceFolder;  // a folder to copy: the mod's root
  std::shared_ptr<const PlannedArchive> archive;  // or an archive to unpack
  std::optional<ModOrigin> origin;                // a Workshop item's; none for the host's files
  bool replace = false;  // the host agreed to replace a folder of that name
};

// A mod as Steam keeps it, or as SteamCMD downloaded it.
ModImport ImportOfWorkshopItem(const SteamWorkshopItem& item);

// What the host picked, read and checked: a mod ready to import, or why it is not one.
struct PreparedImport {
  std::string refusal;  // a sentence for the host; empty when the mod can be imported
  ModImport mod;
};

struct ImportResult {
  ModImport mod;
  std::string failure;  // empty when the mod took its place
  bool replaced = false;
  std::string originFailure;  // the mod is in place, but where it came from was not noted
};

// Written by the lane as it works, read by the windows that show it.
struct ImportProgress {
  std::atomic<int> mod{0};    // which of the mods, from 0
  std::atomic<int> done{0};   // its files done
  std::atomic<int> total{0};  // and how many (0 while they are counted)
};

class ModImporter {
 public:
  // Made on the window's thread.
  explicit ModImporter(ServerPaths paths);

  // Reads and checks a folder or a .zip archive the host picked.
  void Prepare(std::string path, std::function<void(PreparedImport)> done);

  // Brings the mods in, one after another; done gets each one's result, in order.
  void Import(std::vector<ModImport> mods, std::function<void(std::vector<ImportResult>)> done);

  bool Busy() const { return importing_; }
  // "正在导入 <名称> (1/2): 已复制 3/10 个文件", or empty while nothing is imported.
  std::string ProgressText() const;
  int FilesDone() const { return progress_->done.load(); }
  int FilesTotal() const { return progress_->total.load(); }

 private:
  ServerPaths paths_;
  Worker worker_;
  bool importing_ = false;
  std::vector<std::string> names_;  // of the mods being imported
  std::shared_ptr<ImportProgress> progress_ = std::make_shared<ImportProgress>();
};

}  // namespace tidemoor
