#pragma once
// What the tool takes away from the host's server goes to the Recycle Bin, never deleted outright:
// the host can put it back with Explorer.

#include <string_view>

#include "platform/system_error.h"

namespace tidemoor {

// Moves the file or folder (a full path) to the Recycle Bin of its drive. Fails, touching nothing,
// on a drive without one (a network share); where Windows cannot recycle something (too large for
// the bin) it asks the host before deleting it, and No fails with ERROR_CANCELLED. Succeeds only
// when nothing is left at the path. Blocks while the shell moves it: for a worker.
Outcome MoveToRecycleBin(std::string_view path);

}  // namespace tidemoor
