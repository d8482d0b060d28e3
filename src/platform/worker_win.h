#pragma once
// Work that must not hold the user-interface thread (a request to the server, a long copy) runs
// in the background; what it finds comes back to the window's thread and runs there, between its
// window messages, so the windows never freeze and never see two threads. A Worker is a lane: its
// jobs run one after another on a thread it borrows from the tool's one pool while it has work.

#include <functional>
#include <memory>
#include <string_view>

#include "platform/job_pool_win.h"

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

  // What the lane's pool thread and the user-interface thread share (defined with the worker).
  struct Shared;

 private:
  std::shared_ptr<Shared> shared_;
};

}  // namespace tidemoor
