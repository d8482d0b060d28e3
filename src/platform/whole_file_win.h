#pragma once
// Files read and written in one piece. A replacement is written beside the file and then moved
// over it, so whoever reads the file finds the old one or the whole new one, never a cut-off mix.

#include <cstdint>
#include <string>
#include <string_view>

#include "platform/system_error.h"

namespace tidemoor {

enum class FileState { Read, Missing, Unreadable };

struct WholeFile {
  FileState state = FileState::Missing;
  std::string bytes;
  SystemError error;  // why it could not be read, when Unreadable
};

// A file in a missing directory is missing too. The file is opened sharing everything, so an
// editor that holds it open does not make it unreadable. A file longer than maxBytes is
// unreadable (ERROR_FILE_TOO_LARGE); no more than one byte past the limit is ever read, however
// the file grows meanwhile.
WholeFile ReadWholeFile(std::string_view path, size_t maxBytes = SIZE_MAX);

// Fails when the file is read-only or could not be replaced; it is then as it was.
Outcome ReplaceWholeFile(std::string_view path, std::string_view bytes);

// Writes a file that must not exist yet. It appears only complete, so an interrupted write never
// leaves a broken file behind; an existing file is never replaced. It fails (and nothing is left
// behind) on any failure.
Outcome WriteNewWholeFile(std::string_view path, std::string_view bytes);

// Creates or truncates the file and writes all bytes in place; fails when any of it failed.
Outcome WriteWholeFile(std::string_view path, std::string_view bytes);

}  // namespace tidemoor
