#pragma once
// A Workshop item fetched by SteamCMD for a host who has not subscribed to it in Steam: the
// anonymous login Steam often refuses for this game's items, so a refusal must be told plainly.

#include <cstdint>
#include <string>
#include <string_view>

namespace tidemoor {

// What follows SteamCMD's path on its command line.
std::string WorkshopDownloadArguments(std::string_view itemId);

// Where SteamCMD puts the item, below its own folder (the tool's PaLWorld_Data).
std::string WorkshopItemFolder(std::string_view steamCmdFolder, std::string_view itemId);

struct WorkshopDownloadVerdict {
  bool ok = false;
  std::string
      reason;  // why not: SteamCMD's own word ("Failure", "Access Denied") where it gave one
};
// From what SteamCMD printed, its exit code and whether the item's folder holds its Info.json.
WorkshopDownloadVerdict JudgeWorkshopDownload(std::string_view output, uint32_t exitCode,
                                              bool infoJsonArrived);

}  // namespace tidemoor
