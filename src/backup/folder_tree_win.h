#pragma once
// Whole directory trees: deleting one, moving one aside, and the path form that reaches below
// MAX_PATH. They run synchronously on the calling thread.

#include <string>
#include <string_view>

#include "platform/system_error.h"

namespace tidemoor {

// The path in the form Win32 takes without a length limit (\\?\D:\... or \\?\UNC\server\...),
// for a full path; any other path as it is.
std::wstring LongPath(std::string_view path);

enum class ReadOnlyFiles {
  Keep,    // a read-only file stays, with its parents
  Delete,  // a read-only file goes too; another name of the same file keeps the attribute
};

// Deletes the directory with everything below it. Refuses (failing, nothing deleted) an empty
// path and the root of a drive. Entries that cannot be deleted (held open, or read-only when
// kept) stay, with their parents; it succeeds when the directory itself is gone, and otherwise
// fails with the cause of the first entry that stayed. Links below it are removed, never
// followed, so nothing outside the tree is deleted.
Outcome DeleteDirectoryTree(std::string_view path, ReadOnlyFiles readOnly = ReadOnlyFiles::Keep);

// Renames a directory on its volume; fails when the target exists or a file in it is held open.
Outcome MoveDirectory(std::string_view from, std::string_view to);

bool DirectoryExists(std::string_view path);

}  // namespace tidemoor
