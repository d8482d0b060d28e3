#pragma once
// The tool's background threads: one shared pool on which every long step runs (a request to the
// server, SteamCMD, a copy, a wait for a process), so an idle tool holds no thread of its own for
// work it may never be given.

#include <functional>
#include <string_view>

namespace tidemoor {

// Runs the job on a thread of the pool, at once: a job that blocks for minutes never holds up
// another. Nothing comes back by itself; a job hands its result to the window's thread (see
// HandBack) and must hold copies of what it needs, never references to an owner that may go.
void RunOnPool(std::function<void()> job);

// Runs the job on the calling thread; an exception it ends with is recorded (see JobFailureLog)
// instead of escaping.
void RunRecordingFailure(const std::function<void()>& job);

// While it lives, a job that ends with an exception is told to record (on the job's thread,
// with the exception's own words) instead of passing unnoticed; the job still hands back.
class JobFailureLog {
 public:
  explicit JobFailureLog(std::function<void(std::string_view)> record);
  ~JobFailureLog();
  JobFailureLog(const JobFailureLog&) = delete;
  JobFailureLog& operator=(const JobFailureLog&) = delete;
};

}  // namespace tidemoor
