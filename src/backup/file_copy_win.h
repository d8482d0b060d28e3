#pragma once
// One file copied by the backup engine's own hands rather than by CopyFileExW, whose sharing is not
// ours to choose: while the copy reads, the server must stay free to write, delete or rename the
// file.

#include <string_view>

#include "platform/system_error.h"

namespace tidemoor {

// Copies the file's contents, its times and its read-only, hidden, system and not-indexed
// attributes into a new file, which must not exist yet (ERROR_FILE_EXISTS). The source is opened
// with read, write and delete sharing and closed as soon as its last byte is read; a target that
// could not be written whole is removed.
Outcome CopyFileWithFullSharing(std::string_view from, std::string_view to);

}  // namespace tidemoor
