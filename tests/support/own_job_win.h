#pragma once
// Every test program, and the fixture that plays a crashing one, joins a job of its own before
// main runs. Windows ends every process in the job when the job's last handle goes, and that
// handle goes only when the program itself is gone: so the fake servers and tools a test starts,
// and whatever they start in turn, can never outlive the program, even when it fails, aborts or
// crashes. A program left running would hold the run's output open until ctest gives up on it.

#include <windows.h>

namespace tidemoor::testing {

// The job this process joined at start-up (kill on close), nullptr when it could not join one.
// Never close it: that would end this process too.
HANDLE OwnJob();

}  // namespace tidemoor::testing
