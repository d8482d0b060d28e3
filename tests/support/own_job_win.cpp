#include "support/own_job_win.h"

#include <cstdio>

#include "platform/unique_handle_win.h"

namespace tidemoor::testing {
namespace {

// A process started by a test program is already in that program's job, so this job nests
// inside it: Windows 8 and later allow that, and so does Wine 8. Ending the inner job leaves the
// outer one and its program running.
UniqueHandle JoinNewKillOnCloseJob() {
  UniqueHandle job(::CreateJobObjectW(nullptr, nullptr));
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  if (!job ||
      !::SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits,
                                 sizeof(limits)) ||
      !::AssignProcessToJobObject(job.get(), ::GetCurrentProcess())) {
    std::fprintf(stderr,
                 "warning: no job for this program (error %lu): programs the tests start may "
                 "outlive it\n",
                 ::GetLastError());
    return {};
  }
  return job;
}

// Deliberately never destroyed. Closing the handle from a static destructor would end this
// process in the middle of its exit with the job's exit code 0, reporting a failed run as passed
// (and Wine 8's server does not survive it). The system closes the handle once the process is
// gone, which is the moment the children have to go too.
const UniqueHandle& kOwnJob = *new UniqueHandle(JoinNewKillOnCloseJob());

}  // namespace

HANDLE OwnJob() {
  return kOwnJob.get();
}

}  // namespace tidemoor::testing
