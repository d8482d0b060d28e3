#pragma once

#include <string>
#include <string_view>

namespace tidemoor {

// Creates or truncates the file and writes all bytes; false when any of it failed.
bool WriteWholeFile(const std::string& path, std::string_view bytes);

// Writes the bytes under a temporary name and renames the file into place only when complete;
// never replaces an existing file. False (and nothing left behind) on any failure.
bool WriteNewFileCompletely(const std::string& path, std::string_view bytes);

}  // namespace tidemoor
