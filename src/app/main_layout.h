#pragma once
// The main window's controls with their captions and places, at 96 DPI.

#include <span>
#include <string>

#include "app/main_controls.h"
#include "platform/control_table.h"

namespace tidemoor {

// The blanks in the captions of the interval restart and automatic backup check boxes; the edit
// box with the minutes sits in them, over the box.
inline constexpr char kMinuteBlanks[] = "　　　　";

inline constexpr int kMainWindowWidth = 688;
inline constexpr int kMainWindowHeight = 640;

std::span<const ControlDefinition> MainWindowLayout();

}  // namespace tidemoor
