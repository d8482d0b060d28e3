#include "platform/process_win.h"

#include <tlhelp32.h>
#include <winternl.h>

#include "platform/codepage_win.h"
#include "platform/system_error_win.h"
#include "platform/run_command_win.h"
#include "platform/text.h"

namespace tidemoor {
namespace {

bool ParentIs(DWORD processId, uint32_t parentId) {
  UniqueHandle process(::OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, processId));
  if (!process) {
    process.reset(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, processId));
    if (!process) return false;
  }
  PROCESS_BASIC_INFORMATION basic{};
  const NTSTATUS status = ::NtQueryInformationProcess(process.get(), ProcessBasicInformation,
                                                      &basic, sizeof(basic), nullptr);
  return status >= 0 && basic.InheritedFromUniqueProcessId == parentId;
}

std::wstring ImagePath(HANDLE process) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    DWORD length = static_cast<DWORD>(path.size());
    if (::QueryFullProcessImageNameW(process, 0, path.data(), &length)) {
      path.resize(length);
      return path;
    }
    if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || path.size() >= 32768) return {};
    path.resize(path.size() * 2);
  }
}

}  // namespace

uint32_t LaunchProcess(std::string_view application, std::string_view commandLine, bool wait,
                       int showMode, std::string_view workingDirectory,
                       UniqueProcessInformation* info, SystemError* failure) {
  std::string directory(workingDirectory);
  if (directory.empty()) {
    const size_t slash = application.rfind('\\');
    if (slash != std::string_view::npos) directory = application.substr(0, slash + 1);
  }

  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.wShowWindow = SW_SHOWNORMAL;
  // A normal window, and any mode not known, is left to the application.
  if (showMode >= 1 && showMode <= 6 && showMode != 2) {
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = static_cast<WORD>(ShowModeToShowCommand(showMode));
  }

  const std::wstring applicationPath = Widen(application);
  std::wstring mutableCommandLine = Widen(commandLine);  // CreateProcessW may write into it
  const std::wstring directoryPath = Widen(directory);
  PROCESS_INFORMATION created{};
  if (!::CreateProcessW(applicationPath.c_str(), mutableCommandLine.data(), nullptr, nullptr, FALSE,
                        0, nullptr, directoryPath.empty() ? nullptr : directoryPath.c_str(),
                        &startup, &created)) {
    if (failure) *failure = LastSystemError();
    return 0;
  }
  UniqueProcessInformation owned;
  owned.Adopt(created);
  WaitForStartedProcess(owned.process.get(), wait);
  const uint32_t processId = owned.processId;
  if (info) *info = std::move(owned);
  return processId;
}

int64_t FindChildProcess(uint32_t parentId, std::string_view executableName) {
  UniqueFileHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return -1;
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more;
       more = ::Process32NextW(snapshot.get(), &entry)) {
    if (EqualsIgnoringCase(Narrow(entry.szExeFile), executableName) &&
        ParentIs(entry.th32ProcessID, parentId)) {
      return entry.th32ProcessID;
    }
  }
  return 0;
}

uint32_t FindProcessByImage(std::string_view executablePath, UniqueHandle& processHandle) {
  UniqueFileHandle snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) return 0;
  const std::wstring wanted = Widen(executablePath);
  const size_t slash = wanted.rfind(L'\\');
  const std::wstring wantedName = slash == std::wstring::npos ? wanted : wanted.substr(slash + 1);
  PROCESSENTRY32W entry{};
  entry.dwSize = sizeof(entry);
  for (BOOL more = ::Process32FirstW(snapshot.get(), &entry); more;
       more = ::Process32NextW(snapshot.get(), &entry)) {
    // The name filter spares opening every process on the machine.
    if (::lstrcmpiW(entry.szExeFile, wantedName.c_str()) != 0) continue;
    UniqueHandle process(
        ::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION | SYNCHRONIZE, FALSE, entry.th32ProcessID));
    if (!process || ::WaitForSingleObject(process.get(), 0) != WAIT_TIMEOUT) continue;
    const std::wstring image = ImagePath(process.get());
    if (::CompareStringOrdinal(image.c_str(), static_cast<int>(image.size()), wanted.c_str(),
                               static_cast<int>(wanted.size()), TRUE) != CSTR_EQUAL) {
      continue;
    }
    processHandle = std::move(process);
    return entry.th32ProcessID;
  }
  return 0;
}

// Read where Windows keeps it for the process itself, through the structures winternl.h gives:
// the process environment block names the parameters, which hold the command line. This works on
// every Windows the tool runs on and under Wine, which has no query for it.
std::optional<std::string> ProcessCommandLine(uint32_t processId) {
  const UniqueHandle process(
      ::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId));
  if (!process) return std::nullopt;
  PROCESS_BASIC_INFORMATION basic{};
  if (::NtQueryInformationProcess(process.get(), ProcessBasicInformation, &basic, sizeof basic,
                                  nullptr) < 0 ||
      !basic.PebBaseAddress) {
    return std::nullopt;
  }
  PEB environment{};
  RTL_USER_PROCESS_PARAMETERS parameters{};
  if (!::ReadProcessMemory(process.get(), basic.PebBaseAddress, &environment, sizeof environment,
                           nullptr) ||
      !environment.ProcessParameters ||
      !::ReadProcessMemory(process.get(), environment.ProcessParameters, &parameters,
                           sizeof parameters, nullptr)) {
    return std::nullopt;
  }
  std::wstring text(parameters.CommandLine.Length / sizeof(wchar_t), L'\0');
  if (!text.empty() && !::ReadProcessMemory(process.get(), parameters.CommandLine.Buffer,
                                            text.data(), text.size() * sizeof(wchar_t), nullptr)) {
    return std::nullopt;
  }
  return Narrow(text);
}

}  // namespace tidemoor
