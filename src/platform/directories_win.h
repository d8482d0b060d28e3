#pragma once
// The tool's own directory and creating directories with their missing ancestors.

#include <string>
#include <string_view>

#include "platform/system_error.h"

namespace tidemoor {

// The running executable's full path.
std::string ToolExecutable();

// The directory of the running executable without a trailing backslash (D: for a drive root).
std::string ToolDirectory();

// Makes the directory the process's current directory (a drive root such as D: means D:\).
void SetCurrentDirectoryTo(std::string_view directory);

// Creates the directory and every missing ancestor, silently. Paths of fewer than three
// characters create nothing; the first backslash (the drive root's) never creates. Succeeds when
// the path names a directory afterwards; otherwise the cause is the first directory that could
// not be created.
Outcome EnsureDirectory(std::string_view path);

}  // namespace tidemoor
