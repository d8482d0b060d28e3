#include "platform/event_log_win.h"

#include <windows.h>

#include "platform/codepage_win.h"
#include "platform/date_time_win.h"
#include "platform/dispatcher_win.h"
#include "platform/unique_handle_win.h"
#include "platform/whole_file_win.h"

namespace tidemoor {
namespace {

UniqueFileHandle OpenForAppending(const std::string& path) {
  return UniqueFileHandle(::CreateFileW(Widen(path).c_str(),
                                        FILE_APPEND_DATA | FILE_READ_ATTRIBUTES, FILE_SHARE_READ,
                                        nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

uint64_t SizeOf(HANDLE file) {
  LARGE_INTEGER size{};
  return ::GetFileSizeEx(file, &size) ? static_cast<uint64_t>(size.QuadPart) : 0;
}

// The older half moves beside the log; when the file there cannot be replaced, it goes: a log
// that grew without end would fill the disk and slow every event down.
bool MakeRoom(const std::string& path) {
  const WholeFile current = ReadWholeFile(path);
  if (current.state != FileState::Read) return false;
  const auto [older, newer] = SplitEventLog(current.bytes);
  // The older half is safe beside the log before the log lets go of it.
  ReplaceWholeFile(path + ".1", older);
  return ReplaceWholeFile(path, newer) || WriteWholeFile(path, newer);
}

}  // namespace

EventLogFile::EventLogFile(std::string path)
    : path_(std::move(path)),
      queue_(&LocalNow, [path = path_](const std::string& line) { AppendEventLine(path, line); }) {}

void EventLogFile::FlushThen(std::function<void()> then) {
  PrepareDispatcher();
  queue_.FlushThen([alive = std::weak_ptr<bool>(alive_), then = std::move(then)] {
    HandBack([alive, then] {
      if (!alive.expired()) then();
    });
  });
}

void AppendEventLine(const std::string& path, std::string_view line) {
  UniqueFileHandle file = OpenForAppending(path);
  if (!file) return;
  if (SizeOf(file.get()) + line.size() > kEventLogLimitBytes) {
    file.reset();
    if (!MakeRoom(path)) return;
    file = OpenForAppending(path);
    // No room could be made: the event is lost rather than the limit.
    if (!file || SizeOf(file.get()) + line.size() > kEventLogLimitBytes) return;
  }
  DWORD written = 0;
  ::WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

}  // namespace tidemoor
