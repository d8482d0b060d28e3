#pragma once
// The backup list is read on a worker while the window goes on, so a click can ask for another
// rebuild while one is under way. Starting it alongside would list rows twice; the gate instead
// runs the rebuild once more after the running one has finished.

#include <functional>

namespace tidemoor {

class RefreshGate {
 public:
  // Runs the job now or, while a job of this gate has not yet called the finished function it was
  // given, after that. Several requests made meanwhile give one more run, of the job asked for
  // last.
  using Job = std::function<void(std::function<void()> finished)>;
  void Run(Job job);

 private:
  void Finished();

  bool running_ = false;
  Job next_;
};

}  // namespace tidemoor
