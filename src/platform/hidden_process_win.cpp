#include "platform/hidden_process_win.h"

#include <string>

#include "platform/codepage_win.h"
#include "platform/system_error_win.h"

namespace tidemoor {

UniqueFileHandle CreateOutputFile(std::string_view path) {
  SECURITY_ATTRIBUTES inherited{sizeof(inherited), nullptr, TRUE};
  return UniqueFileHandle(::CreateFileW(Widen(path).c_str(), GENERIC_WRITE,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE, &inherited,
                                        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
}

Outcome StartHidden(std::string_view commandLine, std::string_view folder, HANDLE output,
                    UniqueProcessInformation& started) {
  std::wstring command = Widen(commandLine);
  const std::wstring directory = Widen(folder);
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = output;
  startup.hStdError = output;
  PROCESS_INFORMATION raw{};
  if (!::CreateProcessW(nullptr, command.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                        directory.empty() ? nullptr : directory.c_str(), &startup, &raw)) {
    return LastSystemError();
  }
  started.Adopt(raw);
  return {};
}

}  // namespace tidemoor
