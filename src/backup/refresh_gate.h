#pragma once
// The backup list is rebuilt while window messages are let through, so a click can ask for
// another rebuild in the middle of one. Nesting it would list rows twice; the gate instead runs
// the rebuild once more after the running one ends.

#include <functional>

namespace tidemoor {

class RefreshGate {
 public:
  // Runs the job now or, when a job of this gate is running, after it. Several requests made
  // during one run give one more run, of the job asked for last.
  void Run(std::function<void()> job);

 private:
  bool running_ = false;
  std::function<void()> next_;
};

}  // namespace tidemoor
