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

enum class BackupPointResult { Made, Failed };

struct LoadedWorldWiring {
  SavedWorlds& worlds;
  Prompt& prompt;
  EventLog& log;
  // Makes a manual backup point while the windows go on and hands back what became of it; a
  // point cut short by the tool closing hands back nothing.
  std::function<void(std::function<void(BackupPointResult)>)> makeBackupPoint;
  // Writes the worlds whose WorldOption.sav the user keeps to the settings file.
  std::function<void(const std::vector<std::string>&)> rememberKept;
};

class LoadedWorldCheck {
 public:
  LoadedWorldCheck(LoadedWorldWiring wiring, std::vector<std::string> keptWorlds)
      : wiring_(std::move(wiring)), kept_(std::move(keptWorlds)) {}

  // done(false) when the start must not go on: the user chose so, or another check is waiting
  // for its point. A check whose point the tool's closing cut short never calls done.
  void BeforeStart(std::function<void(bool goOn)> done);
  void BeforeWorldSettings(std::function<void()> done);
  // A start nobody is there for asks nothing: what would have been asked goes to the event log,
  // and the start goes on as a restart does.
  void NoteUnasked();
  // The world the server will load; empty when GameUserSettings.ini names none.
  std::string LoadedWorldId();
  const std::vector<std::string>& KeptWorlds() const { return kept_; }

 private:
  using Done = std::function<void(bool goOn)>;
  void Check(bool beforeStart, Done done);
  void Ask(bool beforeStart, Done done);
  void AskAboutWorldOption(const std::string& worldId, Done done);
  void DisableWorldOption(const std::string& worldId, BackupPointResult point);

  LoadedWorldWiring wiring_;
  std::vector<std::string> kept_;
  bool checking_ = false;
};

}  // namespace tidemoor
