#include "server/crash_reports_win.h"

#include <windows.h>

#include "platform/codepage_win.h"
#include "platform/unique_handle_win.h"
#include "platform/whole_file_win.h"

namespace tidemoor {
namespace {

// A crash context is a few kilobytes; anything far larger is not one.
constexpr size_t kLongestContextBytes = 4 << 20;

int64_t FileTimeValue(const FILETIME& time) {
  return static_cast<int64_t>(static_cast<uint64_t>(time.dwHighDateTime) << 32 |
                              time.dwLowDateTime);
}

}  // namespace

int64_t WindowsCrashReports::Now() {
  FILETIME now;
  ::GetSystemTimeAsFileTime(&now);
  return FileTimeValue(now);
}

std::string WindowsCrashReports::CrashesDir() const {
  std::string dir = serverDir_;
  if (!dir.empty() && dir.back() != '\\') dir += '\\';
  return dir + "Pal\\Saved\\Crashes\\";
}

std::vector<CrashFolder> WindowsCrashReports::Folders() {
  std::vector<CrashFolder> folders;
  WIN32_FIND_DATAW entry;
  UniqueFindHandle search(::FindFirstFileExW(Widen(CrashesDir() + "UECC-*").c_str(),
                                             FindExInfoBasic, &entry,
                                             FindExSearchLimitToDirectories, nullptr, 0));
  if (!search) return folders;
  do {
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
      folders.push_back({Narrow(entry.cFileName), FileTimeValue(entry.ftLastWriteTime)});
    }
  } while (::FindNextFileW(search.get(), &entry));
  return folders;
}

std::optional<std::string> WindowsCrashReports::ContextText(const std::string& folder) {
  // Capped while it is read: a file still being written may grow past the cap meanwhile.
  WholeFile file =
      ReadWholeFile(CrashesDir() + folder + "\\" + kCrashContextFile, kLongestContextBytes);
  if (file.state != FileState::Read) return std::nullopt;
  return std::move(file.bytes);
}

}  // namespace tidemoor
