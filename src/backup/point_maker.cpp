#include "backup/point_maker.h"

#include <algorithm>

#include "backup/backup_time.h"
#include "common/server_paths.h"
#include "platform/text.h"

namespace tidemoor {
namespace {

// Inside the unfinished point, beside its "Saved": the second names of the live files it copies.
constexpr char kSnapshotFolderName[] = "Snapshot";

std::string WithoutTrailingSlash(std::string path) {
  if (!path.empty() && path.back() == '\\') path.pop_back();
  return path;
}

// The directories below the backup root that may be points, in name order.
std::vector<std::string> PointNames(BackupFiles& files, const std::string& toolDirectory) {
  std::vector<DirectoryEntry> entries;
  files.ListDirectory(WithoutTrailingSlash(BackupRoot(toolDirectory)), entries);
  std::vector<std::string> names;
  for (const DirectoryEntry& entry : entries) {
    if (entry.kind == EntryKind::Directory && !IsUnfinishedPointName(entry.name)) {
      names.push_back(entry.name);
    }
  }
  std::sort(names.begin(), names.end());
  return names;
}

PointIndex IndexOf(BackupFiles& files, const std::string& toolDirectory, const std::string& name) {
  return files.ReadIndex(BackupPointDir(toolDirectory, name) + kBackupIndexFileName);
}

bool IsStamp(std::string_view name) {
  return name.size() == 10 && name.find_first_not_of("0123456789") == std::string_view::npos;
}

// A stamp that names neither a point nor an unfinished one, and sorts after every stamp there is:
// a point never replaces another, and the list and retention, which go by name, keep the order in
// which points were made even when several come in one second or the clock was set back.
std::string FreeStamp(BackupFiles& files, const std::string& toolDirectory,
                      const LocalDateTime& now) {
  const std::string root = BackupRoot(toolDirectory);
  std::string stamp = MakeBackupStamp(now);
  std::vector<DirectoryEntry> entries;
  files.ListDirectory(WithoutTrailingSlash(root), entries);
  for (const DirectoryEntry& entry : entries) {
    std::string_view name = entry.name;
    if (IsUnfinishedPointName(name)) {
      name.remove_suffix(std::string_view(kUnfinishedPointEnding).size());
    }
    if (IsStamp(name) && IsStamp(stamp) && name >= stamp) stamp = NextBackupStamp(name);
  }
  while (files.Exists(root + stamp) || files.Exists(root + stamp + kUnfinishedPointEnding)) {
    stamp = NextBackupStamp(stamp);
  }
  return stamp;
}

bool HoldsAWorld(const TreeListing& listing) {
  constexpr std::string_view kWorld = "Level.sav";
  return std::any_of(listing.entries.begin(), listing.entries.end(), [&](const TreeEntry& e) {
    const std::string_view path = e.path;
    if (e.kind != EntryKind::File || path.size() < kWorld.size()) return false;
    const std::string_view name = path.substr(path.size() - kWorld.size());
    return EqualsIgnoringCase(name, kWorld) &&
           (path.size() == kWorld.size() || path[path.size() - kWorld.size() - 1] == '\\');
  });
}

void ApplyRetention(BackupFiles& files, const PointRequest& request, PointReport& report) {
  if (request.retention.keepPoints <= 0 && request.retention.keepDays <= 0) return;
  std::vector<StoredPoint> points;
  for (const std::string& name : PointNames(files, request.toolDirectory)) {
    const PointIndex index = IndexOf(files, request.toolDirectory, name);
    if (index.time.empty()) continue;
    points.push_back({name, index.kind, TextToDateTime(index.time)});
  }
  for (const std::string& name : ExpiredPoints(std::move(points), request.retention, files.Now())) {
    if (name == report.folderName) continue;
    if (Outcome deleted = DeleteWholePoint(files, request.toolDirectory, name); deleted) {
      report.expiredPoints.push_back(name);
    } else {
      report.stuckPoints.push_back(name);
      report.stuckCauses.push_back(deleted.Error());
    }
  }
}

}  // namespace

bool OnTheWayToTheWorld(std::string_view relative) {
  constexpr std::string_view kWorlds = "SaveGames";
  if (relative.size() < kWorlds.size() ||
      !EqualsIgnoringCase(relative.substr(0, kWorlds.size()), kWorlds)) {
    return false;
  }
  relative.remove_prefix(kWorlds.size());
  if (relative.empty()) return true;
  return relative.front() == '\\' && std::count(relative.begin(), relative.end(), '\\') <= 2;
}

bool RoomForPoint(uint64_t bytesToCopy, std::optional<uint64_t> freeBytes) {
  return !freeBytes || *freeBytes >= bytesToCopy + kSpareDiskBytes;
}

std::optional<std::string> NewestCompletePoint(BackupFiles& files,
                                               const std::string& toolDirectory) {
  const std::vector<std::string> names = PointNames(files, toolDirectory);
  for (auto name = names.rbegin(); name != names.rend(); ++name) {
    if (!IndexOf(files, toolDirectory, *name).time.empty()) return *name;
  }
  return std::nullopt;
}

PointReport MakeBackupPoint(BackupFiles& files, const PointRequest& request,
                            const FileProgress& progress) {
  const int64_t start = files.MonotonicMilliseconds();
  PointReport report;
  // Asked to stop before it began (the tool is closing): nothing is touched.
  if (progress && !progress(0, 0)) {
    report.outcome = PointOutcome::Stopped;
    return report;
  }
  const TreeListing live = WalkTree(files, request.saveDataDir, OnTheWayToTheWorld);
  if (!live.complete) {
    report.failedPath = live.unreadable;
    report.error = live.error;
    return report;
  }
  if (request.kind != PointKind::BeforeRestore && !HoldsAWorld(live)) {
    report.outcome = PointOutcome::NoWorld;
    return report;
  }
  for (const TreeEntry& entry : live.entries) {
    if (entry.kind == EntryKind::Link) report.skippedLinks.push_back(entry.path);
  }

  std::string earlierSaved;
  TreeListing earlier;
  if (const std::optional<std::string> newest = NewestCompletePoint(files, request.toolDirectory)) {
    earlierSaved = BackupPointDir(request.toolDirectory, *newest) + kBackupSavedFolderName;
    earlier = WalkTree(files, earlierSaved);
    // A point that cannot be read whole is not shared from: the new point copies everything.
    if (!earlier.complete) earlier.entries.clear();
  }
  const CopyPlan plan = PlanCopy(live.entries, earlier.entries);

  const std::string root = BackupRoot(request.toolDirectory);
  const std::optional<uint64_t> freeBytes =
      files.FreeBytes(files.Exists(root) ? root : request.toolDirectory);
  if (!RoomForPoint(plan.bytesToCopy, freeBytes)) {
    report.outcome = PointOutcome::NoRoom;
    report.bytesNeeded = plan.bytesToCopy + kSpareDiskBytes;
    report.bytesFree = *freeBytes;
    return report;
  }

  const std::string stamp = FreeStamp(files, request.toolDirectory, files.Now());
  const std::string unfinished = root + stamp + kUnfinishedPointEnding;
  const auto abandon = [&](PointOutcome outcome) {
    files.DeleteTree(unfinished);
    report.outcome = outcome;
    return report;
  };
  if (Outcome made = files.EnsureDirectory(unfinished); !made) {
    report.failedPath = unfinished;
    report.error = made.Error();
    return abandon(PointOutcome::CopyFailed);
  }
  // Before a restore, a server that never ran has no save yet; the point is made without "Saved".
  if (files.Exists(request.saveDataDir)) {
    const std::string saved = unfinished + "\\" + kBackupSavedFolderName;
    if (Outcome made = files.MakeDirectory(saved, request.saveDataDir); !made) {
      report.failedPath = saved;
      report.error = made.Error();
      return abandon(PointOutcome::CopyFailed);
    }
    const CopyResult copy = CarryOutCopy(
        files, plan,
        {request.saveDataDir, saved, earlierSaved, unfinished + "\\" + kSnapshotFolderName},
        progress);
    report.copiedFiles = copy.copiedFiles;
    report.sharedFiles = copy.sharedFiles;
    report.bytesCopied = copy.bytesCopied;
    if (copy.stopped) return abandon(PointOutcome::Stopped);
    if (!copy.complete) {
      report.failedPath = copy.failedPath;
      report.error = copy.error;
      return abandon(PointOutcome::CopyFailed);
    }
  }
  // The time is taken after the copy: the index says when the copy was complete.
  const PointIndex index{DateTimeToText(files.Now()), request.kind};
  Outcome finished = files.WriteIndex(unfinished + "\\" + kBackupIndexFileName, index);
  if (finished) finished = files.Rename(unfinished, root + stamp);
  if (!finished) {
    report.error = finished.Error();
    return abandon(PointOutcome::IndexFailed);
  }
  report.outcome = PointOutcome::Made;
  report.folderName = stamp;
  report.milliseconds = files.MonotonicMilliseconds() - start;
  ApplyRetention(files, request, report);
  return report;
}

Outcome DeleteWholePoint(BackupFiles& files, const std::string& toolDirectory,
                         const std::string& folderName) {
  const std::string directory = BackupRoot(toolDirectory) + folderName;
  const std::string aside = directory + kUnfinishedPointEnding;
  // A point Explorer is looking into cannot be renamed; it is then deleted where it is.
  if (!IsUnfinishedPointName(folderName) && !files.Exists(aside) &&
      files.Rename(directory, aside)) {
    return files.DeleteTree(aside);
  }
  return files.DeleteTree(directory);
}

std::vector<std::string> RemoveUnfinishedPoints(BackupFiles& files,
                                                const std::string& toolDirectory) {
  std::vector<DirectoryEntry> entries;
  const std::string root = WithoutTrailingSlash(BackupRoot(toolDirectory));
  files.ListDirectory(root, entries);
  std::vector<std::string> removed;
  for (const DirectoryEntry& entry : entries) {
    if (entry.kind != EntryKind::Directory || !IsUnfinishedPointName(entry.name)) continue;
    if (files.DeleteTree(root + "\\" + entry.name)) removed.push_back(entry.name);
  }
  return removed;
}

CopyResult CopyWholeTree(BackupFiles& files, const std::string& source,
                         const std::string& destination, const FileProgress& progress) {
  const TreeListing listing = WalkTree(files, source);
  if (!listing.complete || !files.Exists(source)) {
    CopyResult failed;
    failed.failedPath = listing.complete ? source : listing.unreadable;
    failed.error = listing.error;
    return failed;
  }
  if (Outcome made = files.MakeDirectory(destination, source); !made) {
    CopyResult failed;
    failed.failedPath = destination;
    failed.error = made.Error();
    return failed;
  }
  return CarryOutCopy(files, PlanCopy(listing.entries, {}), {source, destination, "", ""},
                      progress);
}

}  // namespace tidemoor
