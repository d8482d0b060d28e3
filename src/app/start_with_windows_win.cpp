#include "app/start_with_windows_win.h"

#include <windows.h>
#include <shellapi.h>

#include "platform/codepage_win.h"
#include "platform/registry_win.h"

namespace tidemoor {

LogonEntry ReadLogonEntry(std::string_view executable) {
  return DecideLogonEntry(ReadUserText(kRunKey, kLogonEntryName),
                          ReadUserBytes(kStartupApprovedKey, kLogonEntryName), executable);
}

Outcome RegisterLogonEntry(std::string_view executable) {
  return WriteUserText(kRunKey, kLogonEntryName, LogonCommand(executable));
}

Outcome RemoveLogonEntry(std::string_view executable) {
  if (ReadLogonEntry(executable) == LogonEntry::Off) return {};
  return DeleteUserValue(kRunKey, kLogonEntryName);
}

}  // namespace tidemoor
