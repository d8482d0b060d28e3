#pragma once
// Where the server's mod loader keeps its files, below the folder of PalServer.exe, and what the
// tool itself keeps about mods.

#include <string>
#include <string_view>

#include "common/server_paths.h"

namespace tidemoor {

// Below the folder of PalServer.exe, where the server's programs lie.
inline constexpr char kServerBinariesFolder[] = "Pal\\Binaries\\Win64\\";

std::string ModSettingsFile(const ServerPaths& paths);    // Mods\PalModSettings.ini
std::string WorkshopModsDir(const ServerPaths& paths);    // Mods\Workshop\ (ends in \)
std::string ServerBinariesDir(const ServerPaths& paths);  // Pal\Binaries\Win64\ (ends in \)
std::string LastGoodModsFile(const ServerPaths& paths);   // PaLWorld_Data\ModsLastGood.txt
std::string ModOriginsFile(const ServerPaths& paths);     // PaLWorld_Data\ModSources.txt
// Where an import is put together before it takes its place under Mods\Workshop, so the server
// and the mod manager never see half a mod: PaLWorld_Data\ModImport\ (ends in \), on the same
// volume as the server.
std::string ModImportStagingDir(const ServerPaths& paths);
// Where the server records what it deployed of a mod, and deploys it again once it is gone:
// Mods\ManagedMods\<PackageName> (no trailing \).
std::string ManagedModDir(const ServerPaths& paths, std::string_view packageName);

// A UE4SS installed by hand, relative to ServerBinariesDir: the loader Windows picks up beside
// the server and the UE4SS it loads; and what older versions left there, which PalSchema trips on.
inline constexpr char kHandUe4ssLoader[] = "dwmapi.dll";
inline constexpr char kHandUe4ssDll[] = "ue4ss\\UE4SS.dll";
inline constexpr char kLeftoverUe4ssDll[] = "UE4SS.dll";
inline constexpr char kLeftoverUe4ssMods[] = "Mods";

}  // namespace tidemoor
