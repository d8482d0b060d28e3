#include "platform/worker_win.h"

#include <windows.h>

#include <condition_variable>
#include <deque>
#include <exception>
#include <mutex>
#include <string>
#include <thread>
#include <utility>

namespace tidemoor {
namespace {

constexpr UINT kFinishedMessage = WM_APP + 0x51;
constexpr wchar_t kMailboxClass[] = L"TidemoorWorkerMailbox";

struct Job {
  std::function<void()> work;
  std::function<void()> done;
};

std::mutex failureLogMutex;
std::function<void(std::string_view)> failureLog;

void RecordJobFailure(std::string_view what) {
  std::lock_guard lock(failureLogMutex);
  if (failureLog) failureLog("后台任务异常结束: " + std::string(what));
}

}  // namespace

// What the worker thread and the user-interface thread share.
struct Worker::Shared : std::enable_shared_from_this<Worker::Shared> {
  std::mutex mutex;
  std::condition_variable wake;
  std::deque<Job> queued;
  std::deque<std::function<void()>> finished;
  int pending = 0;
  bool closed = false;
  HWND mailbox = nullptr;  // a message-only window of the user-interface thread

  // One finished job per message, each message posted for one. The caller holds this state alive
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

LRESULT CALLBACK MailboxProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kFinishedMessage) {
    auto* shared = reinterpret_cast<Worker::Shared*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
    // The window lives no longer than the worker that owns the state, so the state is alive here.
    if (shared) shared->shared_from_this()->HandBackOne();
    return 0;
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

void WorkThrough(std::shared_ptr<Worker::Shared> shared) {
  for (;;) {
    Job job;
    {
      std::unique_lock lock(shared->mutex);
      shared->wake.wait(lock, [&] { return shared->closed || !shared->queued.empty(); });
      if (shared->closed) return;
      job = std::move(shared->queued.front());
      shared->queued.pop_front();
    }
    // No exception may end the thread (and the tool): a failed job still hands back.
    try {
      job.work();
    } catch (const std::exception& exception) {
      RecordJobFailure(exception.what());
    } catch (...) {
      RecordJobFailure("未知异常");
    }
    std::lock_guard lock(shared->mutex);
    if (shared->closed) return;
    shared->finished.push_back(std::move(job.done));
    ::PostMessageW(shared->mailbox, kFinishedMessage, 0, 0);
  }
}

}  // namespace

Worker::Worker() : shared_(std::make_shared<Shared>()) {}

// The thread and its mailbox are made with the first job: a tool holds many workers, most of
// which get work only when the host asks for something, and none of them may slow the start.
void Worker::Start() {
  WNDCLASSW mailboxClass{};
  mailboxClass.lpfnWndProc = &MailboxProc;
  mailboxClass.hInstance = ::GetModuleHandleW(nullptr);
  mailboxClass.lpszClassName = kMailboxClass;
  ::RegisterClassW(&mailboxClass);
  HWND mailbox = ::CreateWindowExW(0, kMailboxClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   mailboxClass.hInstance, nullptr);
  ::SetWindowLongPtrW(mailbox, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(shared_.get()));
  {
    std::lock_guard lock(shared_->mutex);
    shared_->mailbox = mailbox;
  }
  std::thread(&WorkThrough, shared_).detach();
  started_ = true;
}

Worker::~Worker() {
  HWND mailbox = nullptr;
  {
    std::lock_guard lock(shared_->mutex);
    shared_->closed = true;
    shared_->queued.clear();
    shared_->finished.clear();
    mailbox = std::exchange(shared_->mailbox, nullptr);
  }
  shared_->wake.notify_all();
  ::DestroyWindow(mailbox);
}

void Worker::Run(std::function<void()> work, std::function<void()> done) {
  if (!started_) Start();
  {
    std::lock_guard lock(shared_->mutex);
    shared_->queued.push_back(Job{std::move(work), std::move(done)});
    ++shared_->pending;
  }
  shared_->wake.notify_one();
}

int Worker::Pending() const {
  std::lock_guard lock(shared_->mutex);
  return shared_->pending;
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
