#pragma once
// The main window's controls with their captions and places, at 96 DPI.

#include <span>
#include <string>

#include "app/main_controls.h"

namespace tidemoor {

enum class ControlKind { GroupBox, Button, CheckBox, Separator, Label, ClickableLabel, Edit };

struct ControlDefinition {
  MainControl id;
  ControlKind kind;
  std::string caption;      // UTF-8
  int x, y, width, height;  // client coordinates of the main window
};

// The blanks in the captions of the interval restart and automatic backup check boxes; the edit
// box with the minutes sits in them, over the box.
inline constexpr char kMinuteBlanks[] = "　　　　";

inline constexpr int kMainWindowWidth = 688;
inline constexpr int kMainWindowHeight = 474;

std::span<const ControlDefinition> MainWindowLayout();

}  // namespace tidemoor
