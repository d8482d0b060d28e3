#include "platform/event_log.h"

#include <cstdio>

namespace tidemoor {

std::string EventLogLine(const LocalDateTime& when, std::string_view text) {
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, "%04d-%02d-%02d %02d:%02d:%02d  ", when.year, when.month,
                when.day, when.hour, when.minute, when.second);
  std::string line = stamp;
  for (const char c : text) line += (c == '\r' || c == '\n') ? ' ' : c;
  return line + "\r\n";
}

std::pair<std::string, std::string> SplitEventLog(std::string_view text) {
  size_t cut = text.find('\n', text.size() / 2);
  cut = cut == std::string_view::npos ? text.size() : cut + 1;
  return {std::string(text.substr(0, cut)), std::string(text.substr(cut))};
}

QueuedEventLog::QueuedEventLog(std::function<LocalDateTime()> now,
                               std::function<void(const std::string&)> write)
    : now_(std::move(now)), write_(std::move(write)) {}

QueuedEventLog::~QueuedEventLog() {
  {
    const std::lock_guard lock(mutex_);
    ending_ = true;
  }
  changed_.notify_all();
  if (writer_.joinable()) writer_.join();
}

void QueuedEventLog::Record(std::string_view text) {
  Enqueue({EventLogLine(now_(), text), nullptr});
}

void QueuedEventLog::Flush() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return AllWritten(); });
}

bool QueuedEventLog::FlushWithin(std::chrono::milliseconds limit) {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, limit, [this] { return AllWritten(); });
}

void QueuedEventLog::FlushThen(std::function<void()> then) {
  Enqueue({{}, std::move(then)});
}

// The writer's thread is made with the first entry: most runs of the tool record nothing until
// the server starts, and an idle tool then holds no thread for its log.
void QueuedEventLog::Enqueue(Queued entry) {
  {
    const std::lock_guard lock(mutex_);
    queued_.push_back(std::move(entry));
    if (!writer_.joinable()) writer_ = std::thread([this] { WriteQueued(); });
  }
  changed_.notify_all();
}

void QueuedEventLog::WriteQueued() {
  std::unique_lock lock(mutex_);
  for (;;) {
    changed_.wait(lock, [this] { return ending_ || !queued_.empty(); });
    if (queued_.empty()) return;  // ending, with nothing left to write
    const Queued next = std::move(queued_.front());
    queued_.pop_front();
    writing_ = true;
    lock.unlock();
    if (next.then) {
      next.then();
    } else {
      write_(next.line);
    }
    lock.lock();
    writing_ = false;
    changed_.notify_all();
  }
}

}  // namespace tidemoor
