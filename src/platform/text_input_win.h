#pragma once
// A small modal box that asks for one line of text (an OK and a Cancel button), for the rare
// question a message box cannot ask.

#include <windows.h>

#include <optional>
#include <string>
#include <string_view>

namespace tidemoor {

// The child-window id of the box's edit box, so the end-to-end driver can type into it.
inline constexpr WORD kAskedTextId = 100;

// The text typed (UTF-8), or nullopt when the user cancels or closes the box. The owner is
// disabled while the box is open.
std::optional<std::string> AskForText(HWND owner, std::string_view title, std::string_view caption);

}  // namespace tidemoor
