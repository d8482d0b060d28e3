#pragma once
// What the server's start, stop and watch need from the world around them. The Windows side
// implements these thinly; tests fake them.

#include <cstdint>
#include <string>

namespace tidemoor {

// The dedicated server's processes. The last launched (or adopted) launcher is held by its
// handle until the next start, so its id cannot pass to another process meanwhile.
class ServerProcesses {
 public:
  virtual ~ServerProcesses() = default;
  // A launcher already running from this executable (left by an earlier run of the tool), taken
  // over as if just launched; 0 when there is none.
  virtual uint32_t AdoptRunning(const std::string& executable) = 0;
  // Starts the launcher minimised, waiting at most a second for it; 0 when nothing started.
  virtual uint32_t Launch(const std::string& executable, const std::string& commandLine,
                          const std::string& workingDirectory) = 0;
  // Whether the held launcher still runs; false before the first start.
  virtual bool HeldServerRunning() = 0;
  // Ends the launcher and every process below it, waiting until that is done.
  virtual void KillTree(uint32_t processId) = 0;
  // Hides or shows the console window of the launcher's worker, if it has one by now.
  virtual void SetConsoleHidden(uint32_t launcherId, bool hidden) = 0;
  // The executable's file version in four dotted parts; empty when unreadable.
  virtual std::string FileVersion(const std::string& executable) = 0;
};

class ServerClock {
 public:
  virtual ~ServerClock() = default;
  // A clock that only moves forward, unaffected by changes of the wall clock.
  virtual int64_t MonotonicMilliseconds() = 0;
  // Now, as the status line shows it: 2026年12月7日 - 18时:05分:09秒.
  virtual std::string LocalDateTimeText() = 0;
  // Waits while the windows keep handling their messages.
  virtual void PumpingWait(int seconds) = 0;
};

class UserMessages {
 public:
  virtual ~UserMessages() = default;
  // A Yes/No question with the warning icon; true on Yes.
  virtual bool Confirm(const std::string& text, const std::string& title) = 0;
  virtual void ShowError(const std::string& text, const std::string& title) = 0;
};

// The steps of a start that belong to other parts of the tool.
class StartSteps {
 public:
  virtual ~StartSteps() = default;
  virtual void SaveSettings() = 0;
  virtual void RunAutoUpdate() = 0;
  virtual uint32_t RandomInRange(uint32_t min, uint32_t max) = 0;
};

}  // namespace tidemoor
