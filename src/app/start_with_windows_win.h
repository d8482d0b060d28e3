#pragma once
// The sign-in entry in the current user's registry, and the switch it starts the tool with.

#include <string_view>

#include "app/start_with_windows.h"
#include "platform/system_error.h"

namespace tidemoor {

LogonEntry ReadLogonEntry(std::string_view executable);

// Writes the entry for the executable, replacing one that started another copy.
Outcome RegisterLogonEntry(std::string_view executable);

// Removes the entry when it is the executable's; one that starts another copy stays.
Outcome RemoveLogonEntry(std::string_view executable);

}  // namespace tidemoor
