// Time from process start to a visible window: Tidemoor.exe (in a fresh tool directory each run)
// against a minimal Win32 window program, measured alternately in one run. Prints both medians
// and their ratio. Then the resident memory (working set) of each once its window has shown and
// stayed idle, and the difference, and what the idle tool holds: its threads and its windows
// (top-level, and message-only ones that only carry messages and timers).

#include <windows.h>
#include <psapi.h>
#include <shellapi.h>
#include <tlhelp32.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

struct Search {
  DWORD processId;
  bool found;
};

BOOL CALLBACK FindVisible(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<Search*>(parameter);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  if (owner == search->processId && ::IsWindowVisible(window)) {
    search->found = true;
    return FALSE;
  }
  return TRUE;
}

BOOL CALLBACK CountTopLevel(HWND window, LPARAM parameter) {
  auto* search = reinterpret_cast<std::pair<DWORD, int>*>(parameter);
  DWORD owner = 0;
  ::GetWindowThreadProcessId(window, &owner);
  if (owner == search->first) ++search->second;
  return TRUE;
}

// What an idle process holds besides memory.
struct Holdings {
  int threads = 0;
  int topLevelWindows = 0;
  int messageOnlyWindows = 0;
};

Holdings CountHoldings(DWORD processId) {
  Holdings held;
  const HANDLE snapshot = ::CreateToolhelp32Snapshot(TH32CS_SNAPTHREAD, 0);
  THREADENTRY32 thread{sizeof(thread)};
  for (BOOL more = ::Thread32First(snapshot, &thread); more;
       more = ::Thread32Next(snapshot, &thread)) {
    if (thread.th32OwnerProcessID == processId) ++held.threads;
  }
  ::CloseHandle(snapshot);
  std::pair<DWORD, int> search{processId, 0};
  ::EnumWindows(&CountTopLevel, reinterpret_cast<LPARAM>(&search));
  held.topLevelWindows = search.second;
  for (HWND window = ::FindWindowExW(HWND_MESSAGE, nullptr, nullptr, nullptr); window;
       window = ::FindWindowExW(HWND_MESSAGE, window, nullptr, nullptr)) {
    DWORD owner = 0;
    ::GetWindowThreadProcessId(window, &owner);
    if (owner == processId) ++held.messageOnlyWindows;
  }
  return held;
}

std::wstring Folder(const std::wstring& path) {
  return path.substr(0, path.find_last_of(L'\\'));
}

// Starts the program and returns milliseconds until it shows a window (-1 when it shows none);
// with idleBytes, also its working set after the window has been idle for a while, and with held
// what it holds then. Then ends it.
double TimeToWindow(const std::wstring& program, const std::wstring& directory,
                    SIZE_T* idleBytes = nullptr, Holdings* held = nullptr) {
  std::wstring commandLine = L"\"" + program + L"\"";
  STARTUPINFOW startup{sizeof(startup)};
  PROCESS_INFORMATION info{};
  const auto start = Clock::now();
  if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                        directory.c_str(), &startup, &info)) {
    return -1;
  }
  Search search{info.dwProcessId, false};
  while (!search.found && Clock::now() - start < std::chrono::seconds(30)) {
    ::EnumWindows(&FindVisible, reinterpret_cast<LPARAM>(&search));
    if (!search.found) ::Sleep(1);
  }
  const double elapsed = std::chrono::duration<double, std::milli>(Clock::now() - start).count();
  if (idleBytes && search.found) {
    ::Sleep(3000);  // start-up's work done, the first paint over
    PROCESS_MEMORY_COUNTERS counters{sizeof(counters)};
    *idleBytes = ::K32GetProcessMemoryInfo(info.hProcess, &counters, sizeof(counters))
                     ? counters.WorkingSetSize
                     : 0;
    if (held) *held = CountHoldings(info.dwProcessId);
  }
  ::TerminateProcess(info.hProcess, 0);
  ::WaitForSingleObject(info.hProcess, 10000);
  ::CloseHandle(info.hThread);
  ::CloseHandle(info.hProcess);
  return search.found ? elapsed : -1;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int wmain() {
  wchar_t self[MAX_PATH];
  ::GetModuleFileNameW(nullptr, self, MAX_PATH);
  const std::wstring benchDir = Folder(self);
  const std::wstring binDir = Folder(benchDir);
  const std::wstring minimal = benchDir + L"\\minimal_window_win_bench.exe";

  wchar_t temp[MAX_PATH];
  ::GetTempPathW(MAX_PATH, temp);
  const std::wstring toolDir = std::wstring(temp) + L"tidemoor-startup-bench";
  ::CreateDirectoryW(toolDir.c_str(), nullptr);
  const std::wstring tool = toolDir + L"\\Tidemoor.exe";
  ::CopyFileW((binDir + L"\\Tidemoor.exe").c_str(), tool.c_str(), FALSE);

  constexpr int kRuns = 7;
  std::vector<double> toolTimes, minimalTimes;
  TimeToWindow(minimal, benchDir);  // warm the loader and the font cache for both
  TimeToWindow(tool, toolDir);
  for (int i = 0; i < kRuns; ++i) {
    toolTimes.push_back(TimeToWindow(tool, toolDir));
    minimalTimes.push_back(TimeToWindow(minimal, benchDir));
  }
  const double toolMedian = Median(toolTimes);
  const double minimalMedian = Median(minimalTimes);
  std::printf("start-up to visible window (median of %d, alternating)\n", kRuns);
  std::printf("  Tidemoor.exe        %8.1f ms\n", toolMedian);
  std::printf("  minimal Win32 window %7.1f ms\n", minimalMedian);
  std::printf("  ratio               %8.2f (target <= 1.3)\n", toolMedian / minimalMedian);

  std::vector<double> toolMiB, minimalMiB;
  Holdings toolHeld, minimalHeld;
  for (int i = 0; i < 3; ++i) {
    SIZE_T toolBytes = 0, minimalBytes = 0;
    TimeToWindow(tool, toolDir, &toolBytes, &toolHeld);
    TimeToWindow(minimal, benchDir, &minimalBytes, &minimalHeld);
    toolMiB.push_back(toolBytes / 1048576.0);
    minimalMiB.push_back(minimalBytes / 1048576.0);
  }
  const double memoryDifference = Median(toolMiB) - Median(minimalMiB);
  std::printf("resident memory of the idle window (median of 3)\n");
  std::printf("  Tidemoor.exe        %8.1f MiB\n", Median(toolMiB));
  std::printf("  minimal Win32 window %7.1f MiB\n", Median(minimalMiB));
  std::printf("  difference          %8.1f MiB (target <= 15)\n", memoryDifference);
  std::printf(
      "what the idle window's process holds (threads / top-level / message-only windows)\n");
  std::printf("  Tidemoor.exe        %5d / %d / %d\n", toolHeld.threads, toolHeld.topLevelWindows,
              toolHeld.messageOnlyWindows);
  std::printf("  minimal Win32 window %4d / %d / %d\n", minimalHeld.threads,
              minimalHeld.topLevelWindows, minimalHeld.messageOnlyWindows);
  const bool goalsMet = toolMedian / minimalMedian <= 1.3 && memoryDifference <= 15;

  std::wstring from = toolDir;
  from.append(2, L'\0');
  SHFILEOPSTRUCTW remove{};
  remove.wFunc = FO_DELETE;
  remove.pFrom = from.c_str();
  remove.fFlags = FOF_NO_UI;
  ::SHFileOperationW(&remove);
  return goalsMet ? 0 : 1;
}
