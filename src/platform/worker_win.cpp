#include "platform/worker_win.h"

#include <deque>
#include <mutex>
#include <utility>

#include "platform/dispatcher_win.h"

namespace tidemoor {
namespace {

struct Job {
  std::function<void()> work;
  std::function<void()> done;
};

}  // namespace

struct Worker::Shared {
  std::mutex mutex;
  std::deque<Job> queued;
  std::deque<std::function<void()>> finished;
  int pending = 0;
  bool closed = false;
  bool working = false;  // a pool thread works through the queue

  // One finished job per hand-back, each handed back for one. The caller holds this state alive
  // while the result runs, so a result that puts its own worker away (and with it this state's
  // last other owner) leaves nothing behind that is touched afterwards; results still waiting
  // then find the worker closed and never run.
  void HandBackOne() {
    std::function<void()> done;
    {
      std::lock_guard lock(mutex);
      if (closed || finished.empty()) return;
      done = std::move(finished.front());
      finished.pop_front();
      --pending;
    }
    // A result may start new work or open a box that lets messages through: it runs unlocked.
    if (done) done();
  }
};

namespace {

// On a pool thread, while the lane has work: the thread goes back to the pool once the queue is
// empty, and the next job given borrows one again.
void WorkThrough(const std::shared_ptr<Worker::Shared>& shared) {
  for (;;) {
    Job job;
    {
      std::lock_guard lock(shared->mutex);
      if (shared->closed || shared->queued.empty()) {
        shared->working = false;
        return;
      }
      job = std::move(shared->queued.front());
      shared->queued.pop_front();
    }
    RunRecordingFailure(job.work);
    {
      std::lock_guard lock(shared->mutex);
      if (shared->closed) return;
      shared->finished.push_back(std::move(job.done));
    }
    HandBack([weak = std::weak_ptr<Worker::Shared>(shared)] {
      if (const std::shared_ptr<Worker::Shared> alive = weak.lock()) alive->HandBackOne();
    });
  }
}

}  // namespace

Worker::Worker() : shared_(std::make_shared<Shared>()) {}

// What was queued is let go outside the lock: a job's copies may own anything.
Worker::~Worker() {
  std::deque<Job> queued;
  std::deque<std::function<void()>> finished;
  std::lock_guard lock(shared_->mutex);
  shared_->closed = true;
  queued.swap(shared_->queued);
  finished.swap(shared_->finished);
}

void Worker::Run(std::function<void()> work, std::function<void()> done) {
  PrepareDispatcher();
  bool borrow = false;
  {
    std::lock_guard lock(shared_->mutex);
    shared_->queued.push_back(Job{std::move(work), std::move(done)});
    ++shared_->pending;
    borrow = !std::exchange(shared_->working, true);
  }
  if (borrow) RunOnPool([shared = shared_] { WorkThrough(shared); });
}

int Worker::Pending() const {
  std::lock_guard lock(shared_->mutex);
  return shared_->pending;
}

}  // namespace tidemoor
