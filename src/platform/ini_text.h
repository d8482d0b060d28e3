#pragma once
// Settings files in the INI layout that Windows' profile functions keep, edited as UTF-8 text so
// the caller decides the bytes on disk. Reading and writing follow what those functions do:
// section and key names match without regard to ASCII case, blanks around names and values do
// not count, a value in matching quotes comes back without them, an existing key keeps its line
// and its spelling, a new key follows the last key of its section, a new section goes at the end.
// Lines the edit does not touch, blank lines and comments included, keep their bytes.

#include <string>
#include <string_view>

namespace tidemoor {

// The first such key in the first section of that name; the fallback, less its trailing blanks,
// when there is none.
std::string ReadIniValue(std::string_view text, std::string_view section, std::string_view key,
                         std::string_view fallback);

// The text with the key set. Lines the edit adds end in CR LF. A value holding a line break keeps
// only what comes before it: the rest would otherwise become lines of its own.
std::string WriteIniValue(std::string_view text, std::string_view section, std::string_view key,
                          std::string_view value);

}  // namespace tidemoor
