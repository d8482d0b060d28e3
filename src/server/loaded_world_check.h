#pragma once
// The questions about the loaded world, asked before each start and when the world settings
// window opens: a WorldOption.sav that would override the tool's settings, and a world named in
// GameUserSettings.ini that is not there.

#include <functional>
#include <string>
#include <vector>

#include "platform/event_log.h"
#include "platform/prompt.h"
#include "server/loaded_world.h"

namespace tidemoor {

// The server's saves on disk.
class SavedWorlds {
 public:
  virtual ~SavedWorlds() = default;
  virtual LoadedWorldFacts LookAtLoadedWorld() = 0;
  virtual bool WorldHolds(const std::string& worldId, const std::string& fileName) = 0;
  // Renames a file inside the world's folder, never over an existing one; false when it failed.
  virtual bool RenameInWorld(const std::string& worldId, const std::string& from,
                             const std::string& to) = 0;
};

enum class BackupPointResult { Made, Failed, ToolClosing };

struct LoadedWorldWiring {
  SavedWorlds& worlds;
  Prompt& prompt;
  EventLog& log;
  // Makes a manual backup point while the windows go on.
  std::function<BackupPointResult()> makeBackupPoint;
  // Writes the worlds whose WorldOption.sav the user keeps to the settings file.
  std::function<void(const std::vector<std::string>&)> rememberKept;
};

class LoadedWorldCheck {
 public:
  LoadedWorldCheck(LoadedWorldWiring wiring, std::vector<std::string> keptWorlds)
      : wiring_(std::move(wiring)), kept_(std::move(keptWorlds)) {}

  // False when the start must not go on: the user chose so, or the tool began to close.
  bool BeforeStart();
  void BeforeWorldSettings();
  const std::vector<std::string>& KeptWorlds() const { return kept_; }

 private:
  bool Check(bool beforeStart);
  bool Ask(bool beforeStart);
  bool AskAboutWorldOption(const std::string& worldId);
  bool DisableWorldOption(const std::string& worldId);

  LoadedWorldWiring wiring_;
  std::vector<std::string> kept_;
  bool checking_ = false;
};

}  // namespace tidemoor
