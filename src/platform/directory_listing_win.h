#pragma once
// Lists the subdirectories of a directory. Files are never listed. A long listing (thousands of
// backup points) belongs on a worker thread, not the window's.

#include <string>
#include <string_view>
#include <vector>

namespace tidemoor {

// Appends the directories below path (with or without a trailing backslash) to output, in the
// order the file system gives them, "." and ".." left out: each as path + "\" + name, or as the
// name alone. Recursive lists all of one level first, then what lies below each of them in turn.
// Returns how many were appended; a path that does not exist or cannot be read gives 0.
int ListDirectories(std::string_view path, std::vector<std::string>& output,
                    bool withFullPath = true, bool recursive = false);

bool HasSubdirectories(std::string_view path);

}  // namespace tidemoor
