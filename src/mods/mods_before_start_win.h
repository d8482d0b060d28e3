#pragma once
// The mods looked at before every start with mods switched on: each problem of the mods the
// server is about to load goes to the event log; a start the host asked for shows them in one
// question, and a hand-installed UE4SS beside the Workshop's (which crashes the server at once) is
// offered to be switched off. A start nobody is there for asks nothing.

#include <functional>
#include <string>
#include <vector>

#include "common/server_paths.h"
#include "platform/event_log.h"
#include "platform/prompt.h"

namespace tidemoor {

// The question before a start the host asked for, the problems on the lines between.
std::string ModProblemsQuestion(const std::vector<std::string>& problems);

class ModsBeforeStart {
 public:
  ModsBeforeStart(const ServerPaths& paths, Prompt& prompt, EventLog& log)
      : paths_(paths), prompt_(prompt), log_(log) {}

  // done(false) when the host chose not to start.
  void BeforeStart(const std::function<void(bool goOn)>& done);
  void NoteUnasked();

 private:
  void DisableHandUe4ss();

  const ServerPaths& paths_;
  Prompt& prompt_;
  EventLog& log_;
};

}  // namespace tidemoor
