#pragma once
// A window's controls as a table: kind, caption and place at 96 DPI in the window's client area.
// Every window of the tool creates its controls from one of these; the table stays portable so
// layouts can be checked without a window.

#include <string>

namespace tidemoor {

enum class ControlKind {
  GroupBox,
  Button,
  CheckBox,
  Separator,  // an etched horizontal line
  Label,
  ClickableLabel,  // acts when a mouse button goes down on it, hand cursor
  Edit,
  ReportList,    // a list view in report view, single selection kept visible
  ProgressBar,   // a smooth progress bar
  DropDownList,  // a combo box whose entries are the only choices; height is the dropped list's
  TabStrip,      // tabs over pages; the pages' controls are its siblings, shown one page at a time
};

// What sets a control apart from the usual one of its kind.
enum ControlTrait : unsigned {
  kPlainControl = 0,
  kHeaderless = 1u << 0,   // a report list without its column header
  kBordered = 1u << 1,     // a thin border around a report list
  kEndEllipsis = 1u << 2,  // a label whose text ends in "..." when it does not fit
  kDigitsOnly = 1u << 3,   // an edit box that takes digits only
  kParagraph = 1u << 4,    // a label of several lines, wrapped, from the top of its rectangle
  kSecretText = 1u << 5,   // an edit box that shows dots for what is typed (a token, a password)
};

// The child window id of a control named by a window's enumeration of its controls.
template <typename ControlEnum>
constexpr int ControlNumber(ControlEnum control) {
  return static_cast<int>(control);
}

struct ControlDefinition {
  int id;  // the child window id (GetDlgItem finds it)
  ControlKind kind;
  std::string caption;      // UTF-8
  int x, y, width, height;  // client coordinates at 96 DPI
  unsigned traits = kPlainControl;
};

}  // namespace tidemoor
