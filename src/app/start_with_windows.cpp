#include "app/start_with_windows.h"

#include <algorithm>

namespace tidemoor {
namespace {

char LowerAscii(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Windows' paths ignore case; the path Windows hands the tool may differ in it from the one
// registered earlier (a folder renamed by case only, a drive letter typed small).
bool SameIgnoringCase(std::string_view a, std::string_view b) {
  return std::ranges::equal(a, b, [](char x, char y) { return LowerAscii(x) == LowerAscii(y); });
}

}  // namespace

std::string LogonCommand(std::string_view executable) {
  std::string command = "\"";
  command.append(executable).append("\" ").append(kAutostartSwitch);
  return command;
}

// Task Manager writes its switch as the first byte of the record, with the time of the change
// after it: an odd byte means switched off. A missing or empty record means Windows never
// changed anything, and the entry runs.
LogonEntry DecideLogonEntry(const std::optional<std::string>& registered,
                            const std::optional<std::string>& approval,
                            std::string_view executable) {
  if (!registered || !SameIgnoringCase(*registered, LogonCommand(executable))) {
    return LogonEntry::Off;
  }
  if (approval && !approval->empty() && (static_cast<unsigned char>(approval->front()) & 1) != 0) {
    return LogonEntry::DisabledByWindows;
  }
  return LogonEntry::On;
}

}  // namespace tidemoor
