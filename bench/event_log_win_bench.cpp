// The event log's cost to the window's thread and to the disk: 1,000 events recorded into a log of
// 1.8 MB whose Tidemoor.log.1 is read-only (the older half cannot move aside), then written out.
// Prints the milliseconds from the first event recorded to the last one in the file.

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "platform/codepage_win.h"
#include "platform/event_log_win.h"
#include "platform/whole_file_win.h"

int wmain() {
  using Clock = std::chrono::steady_clock;
  wchar_t temp[MAX_PATH];
  ::GetTempPathW(MAX_PATH, temp);
  const std::string dir = tidemoor::Narrow(std::wstring(temp)) + "tidemoor-event-log-bench\\";
  ::CreateDirectoryW(tidemoor::Widen(dir).c_str(), nullptr);
  const std::string log = dir + "Tidemoor.log";
  const std::wstring aside = tidemoor::Widen(log + ".1");
  ::SetFileAttributesW(aside.c_str(), FILE_ATTRIBUTE_NORMAL);
  tidemoor::WriteWholeFile(log + ".1", "older\r\n");
  ::SetFileAttributesW(aside.c_str(), FILE_ATTRIBUTE_READONLY);
  std::string big;
  while (big.size() < 1'800'000) big += std::string(98, 'x') + "\r\n";
  tidemoor::WriteWholeFile(log, big);

  const Clock::time_point start = Clock::now();
  double recordedMs = 0;
  {
    tidemoor::EventLogFile events(log);
    for (int event = 0; event < 1000; ++event) {
      events.Record("事件 " + std::to_string(event) +
                    " 服务端已退出 (进程 4120): 崩溃或被外部结束");
    }
    recordedMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  }
  const double writtenMs = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  std::printf(
      "event log, 1,000 events over a 1.8 MB log with a read-only .log.1: "
      "%.1f ms on the recording thread, %.1f ms until written (goal < 1000 ms)\n",
      recordedMs, writtenMs);
  ::SetFileAttributesW(aside.c_str(), FILE_ATTRIBUTE_NORMAL);
  ::DeleteFileW(aside.c_str());
  ::DeleteFileW(tidemoor::Widen(log).c_str());
  ::RemoveDirectoryW(tidemoor::Widen(dir).c_str());
  return writtenMs < 1000 ? 0 : 1;
}
