#include "backup/tree_copy.h"

#include <algorithm>
#include <optional>
#include <unordered_map>

#include "backup/copy_snapshot.h"

namespace tidemoor {

std::string JoinPath(const std::string& source, const std::string& relative) {
  return relative.empty() ? source : source + "\\" + relative;
}

namespace {

// A link may be read through when it leads to a directory other than the root and those on the
// way down to it: one leading back would be read round for ever.
bool MayReadThrough(BackupFiles& files, const std::string& root, const std::string& relative) {
  const std::optional<std::string> target = files.FolderIdentity(JoinPath(root, relative));
  if (!target) return false;
  for (size_t slash = relative.find('\\'); slash != std::string::npos;
       slash = relative.find('\\', slash + 1)) {
    if (files.FolderIdentity(JoinPath(root, relative.substr(0, slash))) == target) return false;
  }
  return files.FolderIdentity(root) != target;
}

}  // namespace

TreeListing WalkTree(BackupFiles& files, const std::string& root, const LinkFilter& follow) {
  TreeListing listing;
  if (!files.Exists(root)) return listing;
  // Depth first with an explicit stack: a save's depth is small, but a tree may come from
  // anywhere and must not exhaust the worker thread's stack.
  struct Pending {
    std::string relative;
    std::vector<DirectoryEntry> entries;
    size_t next = 0;
  };
  std::vector<Pending> stack(1);
  if (Outcome listed = files.ListDirectory(root, stack.back().entries); !listed) {
    return {false, root, listed.Error(), {}};
  }
  const auto byName = [](const DirectoryEntry& a, const DirectoryEntry& b) {
    return a.name < b.name;
  };
  std::sort(stack.back().entries.begin(), stack.back().entries.end(), byName);
  while (!stack.empty()) {
    Pending& top = stack.back();
    if (top.next == top.entries.size()) {
      stack.pop_back();
      continue;
    }
    const DirectoryEntry& entry = top.entries[top.next++];
    std::string relative = top.relative.empty() ? entry.name : top.relative + "\\" + entry.name;
    const bool through = entry.kind == EntryKind::Link && follow && follow(relative) &&
                         MayReadThrough(files, root, relative);
    const EntryKind kind = through ? EntryKind::Directory : entry.kind;
    listing.entries.push_back({relative, kind, entry.size, entry.lastWrite});
    if (kind != EntryKind::Directory) continue;
    Pending below{std::move(relative), {}, 0};
    const std::string path = JoinPath(root, below.relative);
    if (Outcome listed = files.ListDirectory(path, below.entries); !listed) {
      listing.complete = false;
      listing.unreadable = path;
      listing.error = listed.Error();
      return listing;
    }
    std::sort(below.entries.begin(), below.entries.end(), byName);
    stack.push_back(std::move(below));
  }
  return listing;
}

CopyPlan PlanCopy(const std::vector<TreeEntry>& source, const std::vector<TreeEntry>& earlier) {
  std::unordered_map<std::string, const TreeEntry*> earlierFiles;
  for (const TreeEntry& entry : earlier) {
    if (entry.kind == EntryKind::File) earlierFiles.emplace(entry.path, &entry);
  }
  CopyPlan plan;
  for (const TreeEntry& entry : source) {
    PlannedEntry planned{entry.path, CopyAction::Copy, entry.size};
    switch (entry.kind) {
      case EntryKind::Directory:
        planned.action = CopyAction::MakeDirectory;
        break;
      case EntryKind::Link:
        planned.action = CopyAction::SkipLink;
        break;
      case EntryKind::File: {
        const auto match = earlierFiles.find(entry.path);
        const bool same = match != earlierFiles.end() && match->second->size == entry.size &&
                          match->second->lastWrite == entry.lastWrite;
        planned.action = same ? CopyAction::Share : CopyAction::Copy;
        ++plan.files;
        if (same) {
          ++plan.sharedFiles;
        } else {
          plan.bytesToCopy += entry.size;
        }
        break;
      }
    }
    plan.entries.push_back(std::move(planned));
  }
  return plan;
}

namespace {

// The plan's entries in turn; the result is complete once every one is done.
void CopyEntries(BackupFiles& files, const CopyPlan& plan, const CopyRoots& roots,
                 const CopySnapshot& snapshot, const FileProgress& progress, CopyResult& result) {
  int done = 0;
  for (size_t index = 0; index < plan.entries.size(); ++index) {
    const PlannedEntry& entry = plan.entries[index];
    const std::string from = JoinPath(roots.source, entry.path);
    const std::string to = JoinPath(roots.destination, entry.path);
    Outcome ok;
    switch (entry.action) {
      case CopyAction::SkipLink:
        continue;
      case CopyAction::MakeDirectory:
        ok = files.MakeDirectory(to, from);
        break;
      case CopyAction::Share:
        if (files.LinkFile(JoinPath(roots.earlier, entry.path), to)) {
          ++result.sharedFiles;
          break;
        }
        [[fallthrough]];
      case CopyAction::Copy:
        ok = files.CopyOneFile(snapshot.ReadFrom(index, from), to);
        snapshot.Release(files, index);
        if (ok) {
          ++result.copiedFiles;
          result.bytesCopied += entry.size;
        }
        break;
    }
    if (!ok) {
      result.failedPath = from;
      result.error = ok.Error();
      return;
    }
    if (entry.action == CopyAction::MakeDirectory) continue;
    ++done;
    if (progress && !progress(done, plan.files)) {
      result.stopped = true;
      return;
    }
  }
  result.complete = true;
}

}  // namespace

CopyResult CarryOutCopy(BackupFiles& files, const CopyPlan& plan, const CopyRoots& roots,
                        const FileProgress& progress) {
  CopyResult result;
  if (progress && !progress(0, plan.files)) {
    result.stopped = true;
    return result;
  }
  const CopySnapshot snapshot = roots.snapshot.empty()
                                    ? CopySnapshot()
                                    : CopySnapshot::Take(files, plan, roots.source, roots.snapshot);
  CopyEntries(files, plan, roots, snapshot, progress, result);
  if (Outcome removed = snapshot.Remove(files); !removed && result.complete) {
    result.complete = false;
    result.failedPath = roots.snapshot;
    result.error = removed.Error();
  }
  return result;
}

}  // namespace tidemoor
