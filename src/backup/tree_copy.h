#pragma once
// Copying a directory tree file by file: the walk that reads it, the plan that decides for every
// file whether it is copied or shared with an earlier copy, and carrying the plan out.

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "backup/backup_files.h"

namespace tidemoor {

// One entry below a tree's root; path is relative to the root, its parts joined by "\".
struct TreeEntry {
  std::string path;
  EntryKind kind = EntryKind::File;
  uint64_t size = 0;
  uint64_t lastWrite = 0;
};

struct TreeListing {
  bool complete = true;    // false when a directory could not be read
  std::string unreadable;  // then the first such directory
  SystemError error;       //   and why it could not be read
  std::vector<TreeEntry> entries;
};

// Which links, by their path relative to the root, are read through as the directories they lead
// to; none when empty.
using LinkFilter = std::function<bool(std::string_view relative)>;

// Every entry below root, each directory before what it holds and the names of one directory in
// order, so two walks of the same tree give the same list. Links are listed, not entered, but for
// those the filter passes: they are listed as directories and read, unless they lead back to the
// root or to a directory that holds them. A root that does not exist gives an empty, complete
// listing.
TreeListing WalkTree(BackupFiles& files, const std::string& root, const LinkFilter& follow = {});

enum class CopyAction {
  MakeDirectory,
  Copy,
  Share,     // a hard link to the earlier copy of the same file
  SkipLink,  // a junction or symbolic link: neither followed nor copied
};

struct PlannedEntry {
  std::string path;
  CopyAction action = CopyAction::Copy;
  uint64_t size = 0;
};

struct CopyPlan {
  std::vector<PlannedEntry> entries;
  int files = 0;             // copied and shared
  int sharedFiles = 0;       //   of which shared
  uint64_t bytesToCopy = 0;  // the new disk space the copy takes when every share succeeds
};

// A file is shared when the earlier copy holds a file at the same relative path with the same size
// and last-write time: the live save is rewritten in place by the server, so a changed file
// always differs in its time, and an earlier copy is never written to. An empty earlier listing
// plans a full copy.
CopyPlan PlanCopy(const std::vector<TreeEntry>& source, const std::vector<TreeEntry>& earlier);

// Called after each file with the files done and the plan's total; false stops the copy.
using FileProgress = std::function<bool(int done, int total)>;

struct CopyResult {
  bool complete = false;
  bool stopped = false;    // the progress callback asked to stop
  std::string failedPath;  // the source entry that could not be copied
  SystemError error;       //   and why
  int copiedFiles = 0;
  int sharedFiles = 0;
  uint64_t bytesCopied = 0;
};

struct CopyRoots {
  std::string source;       // the tree the plan was made of
  std::string destination;  // exists already
  std::string earlier;      // shares link to the same path below it
  std::string snapshot;     // a folder for the copy's snapshot, on the destination's volume; none
                            // when empty (a tree nobody writes to)
};

// Carries the plan out from source into destination; shares link to the same path below earlier.
// A share that fails (another volume, a file system without hard links, a file with too many
// names) becomes a copy. With a snapshot folder, the files are read from their snapshot, which is
// gone again when the copy ends, whatever its end; a snapshot that cannot be removed fails the
// copy. Stops at the first entry that cannot be copied; what was done so far stays for the caller
// to remove.
CopyResult CarryOutCopy(BackupFiles& files, const CopyPlan& plan, const CopyRoots& roots,
                        const FileProgress& progress);

// source + "\" + relative, or source alone for an empty relative path.
std::string JoinPath(const std::string& source, const std::string& relative);

}  // namespace tidemoor
