#pragma once

#include <string>
#include <string_view>

#include "install/server_paths.h"

namespace tidemoor {

// The directory of the running executable without a trailing backslash (D: for a drive root).
std::string ToolDirectory();

// Creates the directory and every missing ancestor, silently. Paths of fewer than three
// characters create nothing; the first backslash (the drive root's) never creates. Returns
// whether the path names a directory afterwards.
bool EnsureDirectory(std::string_view path);

// Fills the program's ServerPaths from the tool directory and creates both directories.
void InitServerPaths();

}  // namespace tidemoor
