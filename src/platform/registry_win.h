#pragma once
// Values under HKEY_CURRENT_USER: the current user's own part of the registry, which a program
// changes without administrator rights. Key paths are relative to HKEY_CURRENT_USER.

#include <optional>
#include <string>
#include <string_view>

#include "platform/system_error.h"

namespace tidemoor {

// A text value (REG_SZ or REG_EXPAND_SZ, unexpanded); nothing when it is missing, unreadable or
// of another type.
std::optional<std::string> ReadUserText(std::string_view key, std::string_view name);

// The raw bytes of a value of any type; nothing when it is missing or unreadable.
std::optional<std::string> ReadUserBytes(std::string_view key, std::string_view name);

// Writes a REG_SZ value, creating the key when it is missing.
Outcome WriteUserText(std::string_view key, std::string_view name, std::string_view text);

// Removes the value; a value (or key) that is not there counts as removed.
Outcome DeleteUserValue(std::string_view key, std::string_view name);

}  // namespace tidemoor
