#pragma once
// The folder or .zip archive a host picks to import a mod from: a small menu at the mouse asks
// which of the two, then Windows' own Open dialog picks it. Both are modal to the owner, as a
// message box is.

#include <windows.h>

#include <optional>
#include <string>

namespace tidemoor {

// The full path picked, or nothing when the host cancelled either step.
std::optional<std::string> PickModToImport(HWND owner);

}  // namespace tidemoor
