#pragma once
// The snapshot a copy reads from. The server saves a file by writing a new one, deleting the old
// and renaming the new into its place; a reader that holds the old file's name open makes the
// delete or the rename fail, and a failed save can bring the server down. So before the first file
// is read, each file the copy will read gets a second name (a hard link, made in milliseconds on
// the same volume) in a folder of the copy's own, and the copy reads those names only: a file the
// server replaces meanwhile keeps, under its second name, the content it had when the snapshot was
// taken. A file that cannot have one (another volume, a file system without hard links, a
// refusal) is read through its own name, with every sharing, for as long as the reading takes.

#include <string>
#include <vector>

#include "backup/backup_files.h"

namespace tidemoor {

struct CopyPlan;

class CopySnapshot {
 public:
  // No snapshot: every file is read through its own name.
  CopySnapshot() = default;

  // Gives each file the plan copies from source a second name below folder, which is made here and
  // must not exist yet. Shared files are not read, so they get none.
  static CopySnapshot Take(BackupFiles& files, const CopyPlan& plan, const std::string& source,
                           const std::string& folder);

  // Where the copy reads the plan's entry from: its second name, or else its own name.
  const std::string& ReadFrom(size_t entry, const std::string& ownName) const;

  // Gives up the entry's second name once it is read; one that cannot go now (a read-only file)
  // goes with the folder.
  void Release(BackupFiles& files, size_t entry) const;

  // Removes the folder with every name in it; fails, with the cause, unless it is gone. Until then
  // the folder holds names of live files, so nothing that holds it may be kept.
  Outcome Remove(BackupFiles& files) const;

 private:
  std::string folder_;
  std::vector<std::string> names_;  // one for each entry of the plan; empty when it has none
};

}  // namespace tidemoor
