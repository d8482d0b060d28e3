#pragma once
// The server's saves as the loaded-world questions see them, on the Windows file system.

#include <string>

#include "common/server_paths.h"
#include "server/loaded_world_check.h"

namespace tidemoor {

class WindowsSavedWorlds : public SavedWorlds {
 public:
  explicit WindowsSavedWorlds(const ServerPaths& paths) : paths_(paths) {}
  LoadedWorldFacts LookAtLoadedWorld() override;
  bool WorldHolds(const std::string& worldId, const std::string& fileName) override;
  bool RenameInWorld(const std::string& worldId, const std::string& from,
                     const std::string& to) override;

 private:
  const ServerPaths& paths_;  // filled in once the tool knows its directory
};

}  // namespace tidemoor
