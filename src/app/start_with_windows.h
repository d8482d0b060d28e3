#pragma once
// Starting the tool when the user signs in to Windows: a value of the user's own Run key (no
// administrator rights) that starts this executable with --autostart. The registry is the truth;
// the settings file only mirrors it. Task Manager's start-up switch does not touch the Run key:
// it keeps its own record next to it, which the tool reads to tell the user.

#include <optional>
#include <string>
#include <string_view>

namespace tidemoor {

inline constexpr char kRunKey[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
inline constexpr char kStartupApprovedKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\StartupApproved\\Run";
inline constexpr char kLogonEntryName[] = "Tidemoor";
inline constexpr char kAutostartSwitch[] = "--autostart";

inline constexpr char kLogonEntryDisabledHint[] =
    "已被 Windows 禁用 - 请在任务管理器的启动项中重新启用";

// What the user's sign-in does for this copy of the tool.
enum class LogonEntry {
  Off,                // no entry, or one that starts another copy of the tool
  On,                 // starts this copy
  DisabledByWindows,  // starts this copy, but the user switched it off in Task Manager
};

// The Run value that starts the executable at sign-in: its full path in quotes, then the switch.
std::string LogonCommand(std::string_view executable);

// registered: the Run value, if any; approval: Task Manager's record of it, if any.
LogonEntry DecideLogonEntry(const std::optional<std::string>& registered,
                            const std::optional<std::string>& approval,
                            std::string_view executable);

}  // namespace tidemoor
