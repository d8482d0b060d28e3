#pragma once
// Whole directory trees: copying one, deleting one, moving one aside. They run synchronously on
// the calling thread and hold the windows while they work.

#include <string_view>

namespace tidemoor {

// Copies source with everything below it to destination through "scripting.FileSystemObject"
// (its CopyFolder, existing files overwritten). Returns whether the copy reported success;
// whatever was copied before a failure stays.
bool CopyFolderTree(std::string_view source, std::string_view destination);

// Deletes the directory with everything below it. Refuses (false, nothing deleted) an empty
// path and the root of a drive. Entries that cannot be deleted stay, with their parents; the
// result is whether the directory itself is gone. Links below it are removed, never followed,
// so nothing outside the tree is deleted.
bool DeleteDirectoryTree(std::string_view path);

// Renames a directory on its volume; false when the target exists or a file in it is held open.
bool MoveDirectory(std::string_view from, std::string_view to);

bool DirectoryExists(std::string_view path);

}  // namespace tidemoor
