#pragma once
// Settings files in the INI layout that Windows' profile functions keep, edited as the bytes on
// disk: only the names compared and the values read or written pass through the file's encoding,
// so a line the edit does not touch keeps its bytes even when they are not valid in that encoding
// (a value saved by an editor in another one, a stray lead byte). Reading and writing follow what
// those functions do: section and key names match without regard to ASCII case, blanks around
// names and values do not count, a value in matching quotes comes back without them, an existing
// key keeps its line and its spelling, a new key follows the last key of its section, a new section
// goes at the end. Lines the edit does not touch, blank lines and comments included, keep their
// bytes.

#include <string>
#include <string_view>

namespace tidemoor {

// How the file's bytes become UTF-8 and back; an empty conversion keeps the bytes as they are
// (a file in UTF-8). Line breaks, blanks, "=", ";", "[" and quotes are single ASCII bytes in every
// encoding the tool's files use, and are found among the bytes.
struct IniEncoding {
  std::string (*toUtf8)(std::string_view fileBytes) = nullptr;
  std::string (*fromUtf8)(std::string_view utf8) = nullptr;
};

// The first such key in the first section of that name, in UTF-8; the fallback, less its trailing
// blanks, when there is none.
std::string ReadIniValue(std::string_view bytes, std::string_view section, std::string_view key,
                         std::string_view fallback, IniEncoding encoding = {});

// The file's bytes with the key set. Lines the edit adds end in CR LF. A value holding a line
// break keeps only what comes before it: the rest would otherwise become lines of its own.
std::string WriteIniValue(std::string_view bytes, std::string_view section, std::string_view key,
                          std::string_view value, IniEncoding encoding = {});

}  // namespace tidemoor
