#pragma once
// Setting a few pairs of the option list in PalWorldSettings.ini without touching anything else:
// the tool writes what the main window holds (server name, passwords, the REST API) before each
// start, and the rest of the file is the user's.

#include <optional>
#include <span>
#include <string>
#include <string_view>

#include "worldsettings/option_list_reader.h"

namespace tidemoor {

// The file's text with each wanted pair's value (given as the file holds it) set wherever the list
// names its key, whatever the case of the key, or added after the other pairs when it names it
// nowhere. Every other pair keeps its place and its value byte for byte, and everything outside
// the list line is kept. nullopt when the list already holds exactly these values, so an
// unchanged file is never rewritten.
std::optional<std::string> WithOptionPairs(std::string_view fileText,
                                           std::span<const OptionPair> wanted);

}  // namespace tidemoor
