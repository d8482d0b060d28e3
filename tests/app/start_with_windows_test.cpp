#include "app/start_with_windows.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace tidemoor {
namespace {

constexpr char kThisTool[] = "D:\\开服工具\\Tidemoor.exe";

std::string Bytes(std::initializer_list<unsigned char> bytes) {
  return std::string(bytes.begin(), bytes.end());
}

// Task Manager's record is 12 bytes: the switch, three zero bytes, then the time of the change
// (zero while the entry was never switched off).
TEST(StartWithWindows, EntryIsThisToolsUnlessWindowsSwitchedItOff) {
  const std::string enabled = Bytes({0x02, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
  const std::string disabled = Bytes({0x03, 0, 0, 0, 0xd4, 0x0d, 0x43, 0x8d, 0xc8, 0x3b, 0xd9, 1});
  struct Case {
    const char* name;
    std::optional<std::string> registered;
    std::optional<std::string> approval;
    LogonEntry expected;
  };
  const Case cases[] = {
      {"no entry", std::nullopt, std::nullopt, LogonEntry::Off},
      {"this tool's", "\"D:\\开服工具\\Tidemoor.exe\" --autostart", std::nullopt, LogonEntry::On},
      {"path typed in other case", "\"d:\\开服工具\\TIDEMOOR.EXE\" --autostart", std::nullopt,
       LogonEntry::On},
      {"another copy's", "\"E:\\old\\Tidemoor.exe\" --autostart", std::nullopt, LogonEntry::Off},
      {"without the switch", "\"D:\\开服工具\\Tidemoor.exe\"", std::nullopt, LogonEntry::Off},
      {"unquoted", "D:\\开服工具\\Tidemoor.exe --autostart", std::nullopt, LogonEntry::Off},
      {"switched on in Task Manager", LogonCommand(kThisTool), enabled, LogonEntry::On},
      {"switched off in Task Manager", LogonCommand(kThisTool), disabled,
       LogonEntry::DisabledByWindows},
      {"switched off, other odd switch", LogonCommand(kThisTool), Bytes({0x07, 0, 0, 0}),
       LogonEntry::DisabledByWindows},
      {"other even switch", LogonCommand(kThisTool), Bytes({0x06, 0, 0, 0}), LogonEntry::On},
      {"empty record", LogonCommand(kThisTool), std::string(), LogonEntry::On},
      {"switched off, but another copy's", "\"E:\\old\\Tidemoor.exe\" --autostart", disabled,
       LogonEntry::Off},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DecideLogonEntry(c.registered, c.approval, kThisTool), c.expected) << c.name;
  }
}

}  // namespace
}  // namespace tidemoor
