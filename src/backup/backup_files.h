#pragma once
// The disk and the clock as the backup engine sees them: directories read one level at a time,
// files copied or given a second name one by one, whole trees deleted or renamed, the free space
// of a volume and the index files. Windows implements it over Win32; tests use a disk in memory.
// Points are made on a worker thread, so an implementation must take calls from any thread.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "backup/backup_store.h"
#include "platform/date_time.h"
#include "platform/system_error.h"

namespace tidemoor {

// A link (a junction or a symbolic link) is not followed, save on the way to the world (hosts move
// their saves to another disk that way): what it points at is not part of the tree that holds it.
enum class EntryKind { Directory, File, Link };

struct DirectoryEntry {
  std::string name;
  EntryKind kind = EntryKind::File;
  uint64_t size = 0;       // bytes, for files
  uint64_t lastWrite = 0;  // the file's last-write time as its file system keeps it
};

class BackupFiles {
 public:
  virtual ~BackupFiles() = default;

  virtual bool Exists(const std::string& path) = 0;
  // The entries of one directory ("." and ".." left out); fails when it cannot be read.
  virtual Outcome ListDirectory(const std::string& path, std::vector<DirectoryEntry>& entries) = 0;
  // What tells the directory a path leads to (through any link) from every other on the machine;
  // none when it does not lead to one.
  virtual std::optional<std::string> FolderIdentity(const std::string& path) = 0;
  // Creates the directory with every missing ancestor; whether it exists afterwards.
  virtual Outcome EnsureDirectory(const std::string& path) = 0;
  // Creates one directory, whose parent exists, with the attributes of the model directory.
  virtual Outcome MakeDirectory(const std::string& path, const std::string& model) = 0;
  // Copies one file with its contents, times and attributes; the target must not exist. The
  // source is held only while it is read, and never so that its name could not be deleted or
  // renamed meanwhile, or the file opened by another program.
  virtual Outcome CopyOneFile(const std::string& from, const std::string& to) = 0;
  // Gives the existing file a second name (a hard link) on the same volume.
  virtual bool LinkFile(const std::string& existing, const std::string& link) = 0;
  // Deletes the directory with everything below it, read-only files too, without following a
  // link; fails, with the first entry's cause, unless it is gone. A file shared with another point
  // keeps its attributes there.
  virtual Outcome DeleteTree(const std::string& path) = 0;
  // Renames a directory or a file within its volume; fails when the target exists or something
  // inside is held open.
  virtual Outcome Rename(const std::string& from, const std::string& to) = 0;
  // The bytes the user may still write on the volume that holds the path; none when unknown.
  virtual std::optional<uint64_t> FreeBytes(const std::string& path) = 0;
  // Writes a new index file (Time, then Kind); fails when it could not be written whole.
  virtual Outcome WriteIndex(const std::string& file, const PointIndex& index) = 0;
  // What the index file holds; an empty time when the file or its key is missing.
  virtual PointIndex ReadIndex(const std::string& file) = 0;

  // A small text file: written whole in place of the old one (failing when it could not be), read
  // (none when it is missing or cannot be read), deleted.
  virtual Outcome WriteTextFile(const std::string& file, const std::string& text) = 0;
  virtual std::optional<std::string> ReadTextFile(const std::string& file) = 0;
  virtual void DeleteOneFile(const std::string& file) = 0;

  virtual LocalDateTime Now() = 0;
  // A clock for durations that never jumps.
  virtual int64_t MonotonicMilliseconds() = 0;
};

}  // namespace tidemoor
