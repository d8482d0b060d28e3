#pragma once
// Mods\PalModSettings.ini, which the server writes at its first start and reads at each: whether
// it loads mods at all, and which, one ActiveModList line per mod (the key repeated). The file
// is the host's as much as the server's: an edit changes the switch's value and the list lines
// and nothing else, so every other line, comment, blank line and line end keeps its bytes, and
// the file keeps its encoding.

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tidemoor {

struct ModSettings {
  bool enabled = false;                 // bGlobalEnableMod
  std::vector<std::string> activeMods;  // package names, in the file's order

  bool operator==(const ModSettings&) const = default;
};

// What the server writes at its first start, before anyone edits it.
inline constexpr char kServersFirstModSettings[] =
    "[PalModSettings]\r\nbGlobalEnableMod=False\r\nWorkshopRootDir=\r\nConfigVersion=1.0\r\n";

// The switch (True in any case is on, anything else off) and the list of the [PalModSettings]
// section. Nothing for a file in an encoding not understood here (see settings_file_encoding.h):
// such a file is never written either.
std::optional<ModSettings> ReadModSettings(std::string_view fileBytes);

// The file's bytes with the switch and the list set; a missing file (nullopt) becomes the
// server's first file with them. The switch line keeps its place; the list lines go where the
// first old one stood, else after the switch line. A file without the switch gets it at the end
// of its [PalModSettings] section, a file without that section gets the section at its end. A file
// that already says the same comes back unchanged. Nothing for a file in an encoding not
// understood here. A name holding a line break is left out: it would become a line of its own.
std::optional<std::string> WriteModSettings(std::optional<std::string_view> fileBytes,
                                            const ModSettings& settings);

}  // namespace tidemoor
