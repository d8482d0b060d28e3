#include "platform/job_pool_win.h"

#include <windows.h>

#include <exception>
#include <memory>
#include <mutex>
#include <string>
#include <utility>

namespace tidemoor {
namespace {

std::mutex failureLogMutex;
std::function<void(std::string_view)> failureLog;

void RecordJobFailure(std::string_view what) {
  std::lock_guard lock(failureLogMutex);
  if (failureLog) failureLog("后台任务异常结束: " + std::string(what));
}

// The pool is the system's own (the process's default thread pool): it makes a thread when every
// thread it has is busy and lets a thread go after a few idle seconds, on Windows and on Wine 8
// alike, so a pool of our own would only repeat it. Every job of this tool may block for long
// (SteamCMD for minutes, a request for 30 s, a wait for the server's end for 70 s) and says so
// first: the pool then never lets the jobs behind it wait for it.
void CALLBACK RunSubmitted(PTP_CALLBACK_INSTANCE instance, void* context) {
  const std::unique_ptr<std::function<void()>> job(static_cast<std::function<void()>*>(context));
  ::CallbackMayRunLong(instance);
  RunRecordingFailure(*job);
}

DWORD WINAPI RunOnOwnThread(void* context) {
  const std::unique_ptr<std::function<void()>> job(static_cast<std::function<void()>*>(context));
  RunRecordingFailure(*job);
  return 0;
}

}  // namespace

void RunOnPool(std::function<void()> job) {
  auto submitted = std::make_unique<std::function<void()>>(std::move(job));
  if (::TrySubmitThreadpoolCallback(&RunSubmitted, submitted.get(), nullptr)) {
    submitted.release();  // the callback owns it now
    return;
  }
  // The pool could not take it (memory short): a thread of its own still runs it, a plain Windows
  // thread (a detached std::thread of MinGW's thread library can start with another's record).
  const HANDLE thread = ::CreateThread(nullptr, 0, &RunOnOwnThread, submitted.get(), 0, nullptr);
  if (!thread) {
    RunRecordingFailure(*submitted);  // no thread at all: run it here rather than lose it
    return;
  }
  submitted.release();
  ::CloseHandle(thread);
}

void RunRecordingFailure(const std::function<void()>& job) {
  // No exception may end a pool thread (and the tool with it): a failed job still hands back.
  try {
    job();
  } catch (const std::exception& exception) {
    RecordJobFailure(exception.what());
  } catch (...) {
    RecordJobFailure("未知异常");
  }
}

JobFailureLog::JobFailureLog(std::function<void(std::string_view)> record) {
  std::lock_guard lock(failureLogMutex);
  failureLog = std::move(record);
}

JobFailureLog::~JobFailureLog() {
  std::lock_guard lock(failureLogMutex);
  failureLog = nullptr;
}

}  // namespace tidemoor
