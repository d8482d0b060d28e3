#include "server/saved_worlds_win.h"

#include <windows.h>

#include <algorithm>

#include "platform/codepage_win.h"
#include "platform/directory_listing_win.h"
#include "platform/whole_file_win.h"

namespace tidemoor {
namespace {

bool IsDirectory(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesW(Widen(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

LoadedWorldFacts WindowsSavedWorlds::LookAtLoadedWorld() {
  LoadedWorldFacts facts;
  const WholeFile settings = ReadWholeFile(GameUserSettingsFile(paths_));
  if (settings.state != FileState::Read) return facts;
  facts.worldId = WorldIdFromGameUserSettings(settings.bytes);
  if (facts.worldId.empty()) return facts;
  facts.worldExists = IsDirectory(SaveGamesDir(paths_) + facts.worldId);
  facts.hasWorldOption = facts.worldExists && WorldHolds(facts.worldId, kWorldOptionFileName);
  ListDirectories(SaveGamesDir(paths_), facts.existingWorlds, false);
  std::sort(facts.existingWorlds.begin(), facts.existingWorlds.end());
  return facts;
}

bool WindowsSavedWorlds::WorldHolds(const std::string& worldId, const std::string& fileName) {
  const std::string path = SaveGamesDir(paths_) + worldId + "\\" + fileName;
  return ::GetFileAttributesW(Widen(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool WindowsSavedWorlds::RenameInWorld(const std::string& worldId, const std::string& from,
                                       const std::string& to) {
  const std::string world = SaveGamesDir(paths_) + worldId + "\\";
  // Without MOVEFILE_REPLACE_EXISTING a file of the new name is never overwritten.
  return ::MoveFileExW(Widen(world + from).c_str(), Widen(world + to).c_str(), 0) != FALSE;
}

}  // namespace tidemoor
