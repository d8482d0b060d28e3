#pragma once
// What the host's own Steam client knows about Palworld's Workshop: its library folders, the items
// it keeps for the game and when each was last updated, and a Workshop item named by a host.

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tidemoor {

// Palworld's app on Steam, whose Workshop items the host subscribes to.
inline constexpr char kPalworldAppId[] = "1623730";

// The library folders: the Steam folder itself first (the registry's SteamPath, which Steam
// writes with forward slashes), then those steamapps\libraryfolders.vdf lists (nullopt when the
// file is missing or cannot be read). Written with backslashes and without a trailing one (a
// drive root keeps its own), each folder once, compared without regard to case.
std::vector<std::string> SteamLibraryFolders(std::string_view steamPath,
                                             std::optional<std::string_view> libraryFoldersVdf);

// Where a library keeps Palworld's Workshop items, one folder per item id, and the file that says
// when each was last updated (library: as SteamLibraryFolders gives it).
std::string WorkshopContentDir(std::string_view library);  // no trailing backslash
std::string WorkshopItemsFile(std::string_view library);   // appworkshop_1623730.acf

// The items file beside an item's folder as Steam and SteamCMD lay them out
// (...\steamapps\workshop\content\1623730\<id>, either separator): nothing for a folder laid out
// otherwise.
std::optional<std::string> WorkshopItemsFileOf(std::string_view itemFolder);

// Each installed item's timeupdated from steamapps\workshop\appworkshop_1623730.acf, by item id;
// empty for a text that cannot be read.
std::map<std::string, uint64_t> WorkshopItemTimes(std::string_view appWorkshopAcf);

// The item a host names by pasting its id or its Steam address
// (https://steamcommunity.com/sharedfiles/filedetails/?id=3456789012, also /workshop/); nothing
// for anything else.
std::optional<std::string> WorkshopItemId(std::string_view pasted);

}  // namespace tidemoor
