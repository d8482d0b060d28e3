#pragma once
// Work that must not hold the user-interface thread (a request to the server, a long copy) runs
// on a worker thread of its own; what it finds comes back to the thread that made the worker and
// runs there, between its window messages, so the windows never freeze and never see two threads.

#include <functional>
#include <memory>
#include <string_view>

namespace tidemoor {

class Worker {
 public:
  // Made on the user-interface thread; results are handed back to it.
  Worker();
  // Results not yet handed back are dropped; a job that is running finishes on its own, so a job
  // must hold copies of what it needs, never references to its owner.
  ~Worker();
  Worker(const Worker&) = delete;
  Worker& operator=(const Worker&) = delete;

  // Jobs run one after another, in the order given. done runs on the user-interface thread once
  // work has ended, unless the worker is gone by then.
  void Run(std::function<void()> work, std::function<void()> done = {});

  // Runs work and hands its result to done.
  template <typename Result>
  void Run(std::function<Result()> work, std::function<void(Result)> done) {
    auto result = std::make_shared<Result>();
    Run([work = std::move(work), result] { *result = work(); },
        [done = std::move(done), result] { done(std::move(*result)); });
  }

  // Jobs given and not yet handed back.
  int Pending() const;

  // What the worker thread and the user-interface thread share (defined with the worker).
  struct Shared;

 private:
  void Start();

  std::shared_ptr<Shared> shared_;
  bool started_ = false;
};

// While it lives, a job that ends with an exception is told to record (on the worker's thread,
// with the exception's own words) instead of passing unnoticed; the job still hands back.
class JobFailureLog {
 public:
  explicit JobFailureLog(std::function<void(std::string_view)> record);
  ~JobFailureLog();
  JobFailureLog(const JobFailureLog&) = delete;
  JobFailureLog& operator=(const JobFailureLog&) = delete;
};

}  // namespace tidemoor
