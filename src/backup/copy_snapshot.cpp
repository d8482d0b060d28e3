#include "backup/copy_snapshot.h"

#include "backup/tree_copy.h"

namespace tidemoor {
namespace {

// Wine looks a new name up by reading its whole folder: with thousands of names in one folder each
// link would be slower than the last, so the names are spread over folders of this many.
constexpr size_t kNamesPerFolder = 128;

std::string ParentOf(const std::string& path) {
  return path.substr(0, path.find_last_of('\\'));
}

}  // namespace

CopySnapshot CopySnapshot::Take(BackupFiles& files, const CopyPlan& plan, const std::string& source,
                                const std::string& folder) {
  CopySnapshot snapshot;
  if (!files.MakeDirectory(folder, ParentOf(folder))) return snapshot;
  snapshot.folder_ = folder;
  snapshot.names_.resize(plan.entries.size());
  size_t taken = 0;
  size_t folders = 0;
  for (size_t entry = 0; entry < plan.entries.size(); ++entry) {
    if (plan.entries[entry].action != CopyAction::Copy) continue;
    const std::string below = folder + "\\" + std::to_string(taken / kNamesPerFolder);
    if (taken / kNamesPerFolder == folders) {
      if (!files.MakeDirectory(below, folder)) break;
      ++folders;
    }
    std::string name = below + "\\" + std::to_string(taken);
    if (files.LinkFile(JoinPath(source, plan.entries[entry].path), name)) {
      snapshot.names_[entry] = std::move(name);
      ++taken;
    }
  }
  return snapshot;
}

const std::string& CopySnapshot::ReadFrom(size_t entry, const std::string& ownName) const {
  return entry < names_.size() && !names_[entry].empty() ? names_[entry] : ownName;
}

void CopySnapshot::Release(BackupFiles& files, size_t entry) const {
  if (entry < names_.size() && !names_[entry].empty()) files.DeleteOneFile(names_[entry]);
}

Outcome CopySnapshot::Remove(BackupFiles& files) const {
  if (folder_.empty()) return {};
  return files.DeleteTree(folder_);
}

}  // namespace tidemoor
