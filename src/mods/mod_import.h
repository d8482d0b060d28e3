#pragma once
// What becomes of a mod a host brings in: the folder it takes under Mods\Workshop, and the
// sentences that turn it away or ask before a folder of that name is replaced.

#include <optional>
#include <string>
#include <string_view>

#include "mods/mod_archive.h"

namespace tidemoor {

// An archive a host picks is read whole into memory to be checked before anything is written; a
// larger one is no mod the tool takes.
inline constexpr size_t kLargestModArchive = size_t{1} << 30;

// A name or an entry from a stranger's files as a sentence or a list shows it: nothing in it may
// break or reorder the line.
std::string ShownText(std::string_view text, size_t maxCharacters = 80);

// A mod from the host's own files goes into the folder named by its package; one that cannot be
// imported gets the sentence that says why.
struct ImportTarget {
  std::string refusal;     // empty when the mod can be imported
  std::string folderName;  // its PackageName
  std::string shownName;   // its ModName, or its package when it has none
};
ImportTarget ImportTargetOf(std::optional<std::string_view> infoJson);

// Why a whole archive or folder was turned away, for the host; empty for None. entry: the entry
// that is the reason, where one is.
std::string ImportRefusalText(ImportRefusal refusal, std::string_view entry);

// Asked before a folder of the name is replaced: from Steam (or the Workshop through SteamCMD), or
// from the host's own files.
std::string ReplaceFromSteamQuestion(std::string_view shownName);
std::string ReplaceFromFilesQuestion(std::string_view shownName);

// A Workshop item as a list row shows it when its Info.json cannot name it: by its id.
struct WorkshopItemNames {
  std::string shownName;
  std::string packageName;
};
WorkshopItemNames WorkshopItemNamesOf(std::string_view itemId,
                                      std::optional<std::string_view> infoJson);

}  // namespace tidemoor
