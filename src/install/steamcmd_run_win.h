#pragma once
// The automatic update's script run without a window, its output (SteamCMD's) kept in a file the
// host can read afterwards and read back while it grows, so the window can show how far it is.

#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "install/steamcmd_progress.h"
#include "install/update_flow.h"

namespace tidemoor {

// What the run has read so far; the worker writes it, the window's thread looks at it.
class SteamCmdRunOutput {
 public:
  void Feed(std::string_view bytes);
  std::optional<SteamCmdProgress> Latest() const;
  std::string LastErrorLine() const;

 private:
  mutable std::mutex lock_;
  SteamCmdOutput output_;
};

// Runs on a worker: returns once the script has ended. outputPath is replaced with what the
// script and SteamCMD print.
ScriptEnd RunScriptHidden(const std::string& commandLine, const std::string& outputPath,
                          SteamCmdRunOutput& output);

}  // namespace tidemoor
