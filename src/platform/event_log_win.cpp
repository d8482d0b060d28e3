#include "platform/event_log_win.h"

#include <windows.h>

#include "platform/codepage_win.h"
#include "platform/date_time_win.h"
#include "platform/unique_handle_win.h"
#include "platform/whole_file_win.h"

namespace tidemoor {
namespace {

bool Append(const std::string& path, std::string_view line) {
  UniqueFileHandle file(::CreateFileW(Widen(path).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ,
                                      nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  return file &&
         ::WriteFile(file.get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr) &&
         written == line.size();
}

}  // namespace

void EventLogFile::Record(std::string_view text) {
  const std::string line = EventLogLine(LocalNow(), text);
  const WholeFile current = ReadWholeFile(path_);
  if (current.state == FileState::Read &&
      current.bytes.size() + line.size() > kEventLogLimitBytes) {
    auto [older, newer] = SplitEventLog(current.bytes);
    // The older half is safe beside the log before the log lets go of it.
    if (ReplaceWholeFile(path_ + ".1", older)) ReplaceWholeFile(path_, newer);
  }
  Append(path_, line);
}

}  // namespace tidemoor
