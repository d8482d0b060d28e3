#pragma once
// A fixture program started from a tool directory, such as the fake router; it goes with the test
// (and with the test program's job whatever happens).

#include <windows.h>

#include <string>

#include "platform/codepage_win.h"
#include "platform/unique_handle_win.h"
#include "support/e2e_win.h"

namespace tidemoor::testing {

class FixtureProcess {
 public:
  FixtureProcess(const TempToolDirectory& dir, const std::string& exe,
                 const std::string& arguments) {
    dir.InstallFixture(exe);
    std::wstring commandLine = L"\"" + Widen(dir.File(exe)) + L"\" " + Widen(arguments);
    STARTUPINFOW startup{sizeof(startup)};
    PROCESS_INFORMATION raw{};
    if (::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                         nullptr, Widen(dir.Path()).c_str(), &startup, &raw)) {
      info_.Adopt(raw);
    }
  }
  ~FixtureProcess() {
    if (info_.process) {
      ::TerminateProcess(info_.process.get(), 1);
      ::WaitForSingleObject(info_.process.get(), 5000);
    }
  }
  DWORD Id() const { return info_.processId; }

 private:
  UniqueProcessInformation info_;
};

}  // namespace tidemoor::testing
