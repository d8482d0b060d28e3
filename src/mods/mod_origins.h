#pragma once
// Where each folder under Mods\Workshop came from, as the tool noted it when it brought the mod
// in: PaLWorld_Data\ModSources.txt, UTF-8, one line per folder: its name, a tab, the Workshop item
// id (empty for a mod imported from a folder or an archive), a tab, and the timeupdated Steam gave
// the item when it was copied (empty when not known). A folder without a line was imported from
// the host's own files or put there by hand. Lines this tool cannot read (an edit by hand, a later
// version's) are kept as they are.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "mods/installed_mods.h"

namespace tidemoor {

struct ModOrigin {
  std::string folderName;
  std::string workshopItemId;  // empty: not from the Workshop
  std::optional<uint64_t> timeUpdated;

  bool operator==(const ModOrigin&) const = default;
};

struct ModOrigins {
  // One line of the file: an origin, or the text of a line that is none, kept.
  struct Line {
    std::optional<ModOrigin> origin;
    std::string kept;
  };
  std::vector<Line> lines;
};

ModOrigins ReadModOrigins(std::string_view text);
std::string ModOriginsText(const ModOrigins& origins);

// The first line for the folder (names compared as Windows compares them), or nullptr.
const ModOrigin* FindModOrigin(const ModOrigins& origins, std::string_view folderName);

// The folder's line becomes this one, where its first line stood (or at the end); any other line
// for the same folder goes. A folder name no line can hold (a tab or a line break) is not noted.
void NoteModOrigin(ModOrigins& origins, const ModOrigin& origin);

// Every line for the folder goes: a folder brought in from the host's own files, or deleted.
void ForgetModOrigin(ModOrigins& origins, std::string_view folderName);

// A folder under Mods\Workshop as the mod manager sees it.
InstalledMod InstalledModOf(std::string folderName, std::optional<std::string> infoJson,
                            const ModOrigins& origins);

}  // namespace tidemoor
